#include "tools/profiled/ProfileService.h"

#include <algorithm>

HttpResponse AnswerRequest(const HttpRequestHead& head, const ProfileDirectory& directory,
                           const ProfileAnswers& answers) {
    if (head.method != "GET") return {405, "method not allowed"};
    if (answers.fixedBody) return {answers.fixedStatus, *answers.fixedBody};

    const std::string_view target = head.target;
    const size_t query = target.find('?');
    if (target.substr(0, query) != PROFILE_PATH) return {404, "not found"};
    constexpr std::string_view kIdKey = "id=";
    const std::string_view parameters = query == std::string_view::npos ? std::string_view() : target.substr(query + 1);
    if (parameters.substr(0, kIdKey.size()) != kIdKey) return {400, "no id"};

    const std::string* nickname = directory.Find(PercentDecode(parameters.substr(kIdKey.size())));
    if (!nickname) return {404, answers.unknownBody};
    return {200, *nickname + "||1"};
}

void ProfileService::OnOpened(ConnectionId id, std::string_view) { m_received.try_emplace(id); }

void ProfileService::OnReceived(ConnectionId id, const uint8_t* data, size_t size) {
    const auto found = m_received.find(id);
    if (found == m_received.end()) return;
    std::string& received = found->second;
    // Never more than one head's worth is kept, whatever the peer sends.
    received.append(reinterpret_cast<const char*>(data), std::min(size, HTTP_MAX_HEAD - received.size()));

    HttpRequestHead head;
    switch (ParseRequestHead(received, head)) {
    case HeadStatus::Incomplete: return;
    case HeadStatus::Complete:
        Answer(id, AnswerRequest(head, m_directory, m_answers), head.method + " " + head.target);
        return;
    case HeadStatus::Malformed: Answer(id, {400, "bad request"}, "malformed request"); return;
    case HeadStatus::TooLarge: Answer(id, {431, "request too large"}, "oversized request"); return;
    }
}

void ProfileService::OnClosed(ConnectionId id) { m_received.erase(id); }

void ProfileService::Answer(ConnectionId id, const HttpResponse& response, std::string_view request) {
    m_received.erase(id);
    m_log.Write("#" + std::to_string(id) + " " + Printable(request) + " -> " + std::to_string(response.status) + " " +
                Printable(response.body));
    m_link.Send(id, SerializeResponse(response));
    m_link.Close(id, ConnectionLink::CloseMode::AfterSending);
}
