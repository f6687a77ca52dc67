// ProfileService: the reference profile service, one request per connection.
//
// GET /program/user_info.asp?id=ID answers "NICK||1" for an id of the users
// file and the configured error body for any other. Everything after "id="
// is the id, percent-decoded: the client puts the id into the URL unescaped,
// so an id may itself hold '&' or '='. A request head is bounded in size and,
// through the loop's idle limit, in time.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "tools/common/Connection.h"
#include "tools/common/EventLog.h"
#include "tools/profiled/HttpMessage.h"
#include "tools/profiled/ProfileDirectory.h"

inline constexpr char PROFILE_PATH[] = "/program/user_info.asp";

struct ProfileAnswers {
    std::string unknownBody = "unknown";
    // When set, every GET gets this body and fixedStatus, for tests of what
    // a client makes of odd answers.
    std::optional<std::string> fixedBody;
    int fixedStatus = 200;
};

HttpResponse AnswerRequest(const HttpRequestHead& head, const ProfileDirectory& directory,
                           const ProfileAnswers& answers);

class ProfileService final : public ConnectionHandler {
public:
    ProfileService(ConnectionLink& link, EventLog& log, const ProfileDirectory& directory, ProfileAnswers answers)
        : m_link(link), m_log(log), m_directory(directory), m_answers(std::move(answers)) {}

    void OnOpened(ConnectionId id, std::string_view peer) override;
    void OnReceived(ConnectionId id, const uint8_t* data, size_t size) override;
    void OnClosed(ConnectionId id) override;

private:
    void Answer(ConnectionId id, const HttpResponse& response, std::string_view request);

    ConnectionLink& m_link;
    EventLog& m_log;
    const ProfileDirectory& m_directory;
    ProfileAnswers m_answers;
    // The head received so far, per connection still waiting for its answer.
    std::map<ConnectionId, std::string> m_received;
};
