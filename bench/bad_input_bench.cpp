// Bad input benchmark: what one hostile notice costs the chat view — deep
// nesting of lists, quotations and tables, tables of a great many cells, and
// spans and widths of a billion.
//
// Each case is a notice text, formatted as the chat window formats a notice,
// appended through CChatView::AppendHtml (parsing, the flow, layout and the
// scroll to the bottom) to the pane benchmark's pane, which already holds 100
// lines of its conversation; then painted (UpdateWindow); then laid out again
// whole by a change of the pane's width, and painted. Each is timed from the
// call to the end of the paint. Memory is the peak of the process's private
// bytes (its commit charge) over the run, less the private bytes just before
// the append: the most the notice can have cost, transient memory included.
//
// Each case runs three times, each in a process of its own (this program
// started with --case NAME), so that no case inherits another's heap or
// peak; per case it prints the medians:
//   case=NAME text_bytes=.. append_ms=.. paint_ms=.. relayout_ms=.. peak_extra_mb=.. runs=3

#include "bench/BenchClock.h"
#include "bench/ChatPane.h"
#include "bench/ChildRun.h"
#include "bench/Conversation.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bench::Fail;

constexpr int kLinesBefore = 100;
constexpr int kRuns = 3;
constexpr DWORD kRunTimeoutMs = 5 * 60 * 1000;
constexpr char kCaseArgument[] = "--case";

std::string Repeated(const std::string& piece, int count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// A bordered table of `rows` rows of `columns` cells, each holding "x".
std::string Table(int rows, int columns) {
    return "<table border=1>" + Repeated("<tr>" + Repeated("<td>x", columns), rows) + "</table>";
}

struct Case {
    const char* name;
    std::string (*text)();
};

const Case kCases[] = {
    {"nested_lists_10000", [] { return Repeated("<ul><li>x", 10000); }},
    {"nested_blockquotes_10000", [] { return Repeated("<blockquote>x", 10000); }},
    {"nested_tables_10000", [] { return Repeated("<table><tr><td>x", 10000); }},
    {"columns_10000", [] { return Table(1, 10000); }},
    {"colspan_1000000000",
     [] { return std::string("<table border=1><tr><td colspan=1000000000>a<td>b<tr><td>c<td>d</table>"); }},
    {"width_1000000000",
     [] {
         return std::string(
             "<table width=1000000000 border=1><tr><td width=1000000000>a<td>b</table>"
             "<hr width=1000000000><img width=1000000000 height=1000000000>");
     }},
    {"cells_100000_in_1_row", [] { return Table(1, 100000); }},
    {"cells_100000_in_1000_rows", [] { return Table(1000, 100); }},
};

const Case& CaseNamed(const char* name) {
    for (const Case& one : kCases) {
        if (std::strcmp(one.name, name) == 0) return one;
    }
    Fail("no such case");
}

struct CaseFigures {
    double appendMs = 0;
    double paintMs = 0;
    double relayoutMs = 0;
    double peakExtraMb = 0;
};

// One case in this process; prints its figures.
void RunCase(const Case& one) {
    bench::ChatPane pane("bad_input_bench");
    bench::Conversation conversation;
    for (int index = 0; index < kLinesBefore; ++index) {
        if (!pane.View().AppendHtml(conversation.Line(index))) Fail("appending a line");
    }
    pane.Paint();
    const CString notice = FormatNotice(one.text().c_str());
    const bench::Memory before = bench::ProcessMemory();

    CaseFigures figures;
    double started = Now();
    if (!pane.View().AppendHtml(notice)) Fail("appending the notice");
    figures.appendMs = (Now() - started) * 1000;
    started = Now();
    pane.View().UpdateWindow();
    figures.paintMs = (Now() - started) * 1000;
    pane.Paint();
    pane.CheckAtBottom();
    started = Now();
    pane.SetWidth(bench::kPaneWidth / 2);
    pane.View().UpdateWindow();
    figures.relayoutMs = (Now() - started) * 1000;

    const bench::Memory after = bench::ProcessMemory();
    figures.peakExtraMb = static_cast<double>(after.peakPrivateBytes - before.privateBytes) / (1 << 20);
    std::printf("text_bytes=%d append_ms=%.3f paint_ms=%.3f relayout_ms=%.3f peak_extra_mb=%.1f\n", notice.GetLength(),
                figures.appendMs, figures.paintMs, figures.relayoutMs, figures.peakExtraMb);
}

void ReportCase(const Case& one) {
    std::vector<double> append, paint, relayout, peak;
    int textBytes = 0;
    for (int run = 0; run < kRuns; ++run) {
        const std::wstring arguments = L" --case " + std::wstring(one.name, one.name + std::strlen(one.name));
        const std::string output = bench::RunThisProgram(arguments, kRunTimeoutMs);
        CaseFigures figures;
        if (std::sscanf(output.c_str(), "text_bytes=%d append_ms=%lf paint_ms=%lf relayout_ms=%lf peak_extra_mb=%lf",
                        &textBytes, &figures.appendMs, &figures.paintMs, &figures.relayoutMs,
                        &figures.peakExtraMb) != 5) {
            Fail("reading a run's figures");
        }
        append.push_back(figures.appendMs);
        paint.push_back(figures.paintMs);
        relayout.push_back(figures.relayoutMs);
        peak.push_back(figures.peakExtraMb);
    }
    std::printf("case=%s text_bytes=%d append_ms=%.1f paint_ms=%.1f relayout_ms=%.1f peak_extra_mb=%.1f runs=%d\n",
                one.name, textBytes, Median(append), Median(paint), Median(relayout), Median(peak), kRuns);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kCaseArgument) == 0) {
        RunCase(CaseNamed(argv[2]));
        std::fflush(stdout);
        return 0;
    }
    for (const Case& one : kCases) ReportCase(one);
    return 0;
}
