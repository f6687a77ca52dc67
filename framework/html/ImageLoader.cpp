#include "framework/html/ImageLoader.h"

#include "framework/TextConversion.h"
#include "framework/UrlText.h"
#include "framework/WinApp.h"

#include <objbase.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

namespace html {
namespace {

constexpr DWORD kTimeoutMs = 15000;  // connect and each receive
constexpr DWORD kJoinWaitMs = 2000;  // how long the destructor waits for workers
constexpr DWORD kReadChunk = 64 * 1024;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : m_handle(handle) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() {
        if (m_handle) ::InternetCloseHandle(m_handle);
    }
    operator HINTERNET() const { return m_handle; }

private:
    HINTERNET m_handle;
};

class ComApartment {
public:
    ComApartment() : m_initialised(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (m_initialised) ::CoUninitialize();
    }

private:
    bool m_initialised;
};

DWORD QueryNumber(HINTERNET request, DWORD query, DWORD fallback) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    return ::HttpQueryInfoW(request, query | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) ? value : fallback;
}

ImageLoadStatus Download(const std::wstring& userAgent, const std::wstring& url, const std::atomic<bool>& cancelled,
                         std::vector<std::uint8_t>& body) {
    InternetHandle session(::InternetOpenW(userAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return ImageLoadStatus::DownloadFailed;
    DWORD timeout = kTimeoutMs;
    ::InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
    ::InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
    constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                             INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
    InternetHandle request(::InternetOpenUrlW(session, url.c_str(), nullptr, 0, kFlags, 0));
    if (!request) return ImageLoadStatus::DownloadFailed;
    if (QueryNumber(request, HTTP_QUERY_STATUS_CODE, 0) != 200) return ImageLoadStatus::DownloadFailed;
    // An announced length over the limit is refused before anything is read;
    // the read below still counts, as the announcement may be absent or lie.
    if (QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH, 0) > kMaximumImageBytes) return ImageLoadStatus::TooManyBytes;

    body.clear();
    std::vector<std::uint8_t> chunk(kReadChunk);
    for (;;) {
        if (cancelled) return ImageLoadStatus::DownloadFailed;
        DWORD read = 0;
        if (!::InternetReadFile(request, chunk.data(), kReadChunk, &read)) return ImageLoadStatus::DownloadFailed;
        if (read == 0) break;
        if (body.size() + read > kMaximumImageBytes) return ImageLoadStatus::TooManyBytes;
        body.insert(body.end(), chunk.begin(), chunk.begin() + read);
    }
    return ImageLoadStatus::Loaded;
}

ImageLoadStatus StatusOf(DecodeResult result) {
    switch (result) {
    case DecodeResult::Decoded: return ImageLoadStatus::Loaded;
    case DecodeResult::TooLarge: return ImageLoadStatus::TooLarge;
    case DecodeResult::Undecodable: break;
    }
    return ImageLoadStatus::Undecodable;
}

}  // namespace

struct ImageLoader::Shared {
    Shared(HWND window, UINT message) : window(window), message(message), userAgent(ToWide(AfxGetAppName())) {}

    struct Job {
        int id = 0;
        std::wstring url;
    };

    const HWND window;
    const UINT message;
    const std::wstring userAgent;  // the application's name, read once on the UI thread
    std::mutex mutex;
    // Written by the UI thread under the mutex; workers also read it without
    // the mutex between chunks of a download, as a hint to stop early.
    std::atomic<bool> cancelled{false};
    // The rest only under the mutex.
    std::deque<Job> queue;                 // UI thread adds, workers take
    std::vector<ImageLoadResult> results;  // workers add, UI thread takes
    int running = 0;                       // workers started and not yet ending
    bool notified = false;                 // a message is posted and results not yet taken
};

ImageLoader::ImageLoader(HWND window, UINT message) : m_shared(std::make_shared<Shared>(window, message)) {}

ImageLoader::~ImageLoader() {
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->cancelled = true;
        m_shared->queue.clear();
    }
    if (!m_workers.empty()) {
        ::WaitForMultipleObjects(static_cast<DWORD>(m_workers.size()), m_workers.data(), TRUE, kJoinWaitMs);
    }
    for (const HANDLE worker : m_workers) ::CloseHandle(worker);
}

bool ImageLoader::IsLoadable(std::u16string_view url) {
    const std::u16string scheme = UrlScheme(CleanUrl(url));
    return scheme == u"http" || scheme == u"https";
}

bool ImageLoader::Request(int id, std::u16string_view url) {
    if (!IsLoadable(url)) return false;
    ForgetFinishedWorkers();
    bool startWorker = false;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_back({id, EscapeUrl(CleanUrl(url))});
        if (m_shared->running < kMaximumWorkers) {
            ++m_shared->running;
            startWorker = true;
        }
    }
    if (!startWorker) return true;
    auto* reference = new std::shared_ptr<Shared>(m_shared);
    const HANDLE worker = ::CreateThread(nullptr, 0, &ImageLoader::WorkerMain, reference, 0, nullptr);
    if (worker) {
        m_workers.push_back(worker);
        return true;
    }
    delete reference;
    const std::lock_guard lock(m_shared->mutex);
    --m_shared->running;
    if (m_shared->running > 0) return true;  // a running worker will take it
    // Nobody will serve the queue: take this request back.
    auto& queue = m_shared->queue;
    queue.erase(std::remove_if(queue.begin(), queue.end(), [id](const Shared::Job& job) { return job.id == id; }),
                queue.end());
    return false;
}

std::vector<ImageLoadResult> ImageLoader::TakeResults() {
    const std::lock_guard lock(m_shared->mutex);
    m_shared->notified = false;
    return std::exchange(m_shared->results, {});
}

void ImageLoader::ForgetFinishedWorkers() {
    const auto finished = [](HANDLE worker) {
        if (::WaitForSingleObject(worker, 0) != WAIT_OBJECT_0) return false;
        ::CloseHandle(worker);
        return true;
    };
    m_workers.erase(std::remove_if(m_workers.begin(), m_workers.end(), finished), m_workers.end());
}

DWORD WINAPI ImageLoader::WorkerMain(void* reference) {
    const std::unique_ptr<std::shared_ptr<Shared>> shared(static_cast<std::shared_ptr<Shared>*>(reference));
    const ComApartment apartment;
    Work(**shared);
    return 0;
}

void ImageLoader::Work(Shared& shared) {
    for (;;) {
        Shared::Job job;
        {
            const std::lock_guard lock(shared.mutex);
            if (shared.cancelled || shared.queue.empty()) {
                --shared.running;
                return;
            }
            job = std::move(shared.queue.front());
            shared.queue.pop_front();
        }
        ImageLoadResult result;
        result.id = job.id;
        std::vector<std::uint8_t> body;
        result.status = Download(shared.userAgent, job.url, shared.cancelled, body);
        if (result.status == ImageLoadStatus::Loaded) {
            result.status = StatusOf(DecodeImage(body.data(), body.size(), result.image));
        }
        const std::lock_guard lock(shared.mutex);
        if (shared.cancelled) {
            --shared.running;
            return;
        }
        shared.results.push_back(std::move(result));
        if (!shared.notified) shared.notified = ::PostMessageW(shared.window, shared.message, 0, 0) != FALSE;
    }
}

}  // namespace html
