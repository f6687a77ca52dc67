// Tokenizer benchmark: how fast the HTML tokenizer reads chat markup, with
// and without many character references.
//
// Each case repeats one fragment into about 1 MB of text and tokenizes it
// nine times, timing from the tokenizer's construction to its end-of-file
// token. Prints one line per case:
//   case=NAME bytes=N mb_per_s=.. runs=9
// with the median of the nine, in UTF-16 bytes of input (MB = 10^6 bytes).

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BenchClock.h"
#include "framework/html/HtmlTokenizer.h"

namespace {

constexpr int kRuns = 9;
constexpr std::size_t kInputUnits = 500000;

struct Case {
    const char* name;
    std::u16string_view fragment;
};

// A chat line as the server sends it, with the references chat text uses.
constexpr Case kChat = {"chat",
                        u"<font color=#ff0000><b>nick</b></font>: hello &amp; welcome &lt;3 &nbsp;caf&eacute; "
                        u"<a href=\"http://x/?a=1&amp;b=2&copy=3\">link</a> &quot;q&quot;<br>"};

// Little but references, long and short, known and unknown, with and
// without ";", in text and in an attribute.
constexpr Case kReferences = {
    "references",
    u"&NotEqualTilde;&CounterClockwiseContourIntegral;&Afr;&hearts;&notin;&ltx&nbsp&amp;&gtcc;&nosuch;"
    u"&Abreve;&check;<a title='&copy=1&lt;&ApplyFunction;&NotSquareSupersetEqual;'>"};

double MegabytesPerSecond(const std::u16string& input) {
    const double started = Now();
    html::Tokenizer tokenizer(input);
    while (tokenizer.Next().type != html::Token::Type::EndOfFile) {
    }
    return static_cast<double>(input.size() * sizeof(char16_t)) / (Now() - started) / 1e6;
}

void Run(const Case& benchmarkCase) {
    std::u16string input;
    while (input.size() < kInputUnits) input += benchmarkCase.fragment;
    std::vector<double> rates;
    for (int run = 0; run < kRuns; ++run) rates.push_back(MegabytesPerSecond(input));
    std::printf("case=%s bytes=%zu mb_per_s=%.1f runs=%d\n", benchmarkCase.name, input.size() * sizeof(char16_t),
                Median(rates), kRuns);
}

}  // namespace

int main() {
    Run(kChat);
    Run(kReferences);
    return 0;
}
