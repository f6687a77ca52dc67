// ImageLoader: fetches the pane's images over http and https on worker
// threads, decodes them, and tells the window when results are waiting.
//
// Threads and handing over: the UI thread queues requests and takes results;
// workers (at most kMaximumWorkers at once, each living while the queue has
// work) take a request, download and decode it, and put the result back. All
// of that goes through one Shared block under its mutex; nothing else is
// shared. A worker holds its own reference to the block, so the block lives
// as long as the last worker even when the loader is gone.
//
// The window is never touched after the loader is destroyed: the destructor
// sets `cancelled` under the mutex, and a worker posts its "results waiting"
// message only while holding the mutex and seeing `cancelled` false. The
// destructor then waits a short while for the workers; one still blocked in a
// download finishes in its own time (bounded by WinINet's timeouts), sees
// the cancellation and ends without posting.
//
// What is refused: any scheme but http and https, without a request; a body
// of more than kMaximumImageBytes (read no further); a picture of more than
// kMaximumImageSide pixels on a side (refused before its pixels are decoded);
// an answer other than 200.
#pragma once

#include "framework/html/ImageDecoder.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace html {

constexpr std::size_t kMaximumImageBytes = 10 * 1024 * 1024;

enum class ImageLoadStatus {
    Loaded,
    DownloadFailed,  // no connection, an answer other than 200, cancelled
    TooManyBytes,
    TooLarge,  // more pixels on a side than allowed
    Undecodable,
};

struct ImageLoadResult {
    int id = 0;
    ImageLoadStatus status = ImageLoadStatus::DownloadFailed;
    DecodedImage image;  // when Loaded
};

class ImageLoader {
public:
    static constexpr int kMaximumWorkers = 3;

    // `message` is posted to `window` (wParam and lParam 0) when results
    // are waiting; the window then calls TakeResults. It is posted once per
    // batch: again only after TakeResults has emptied it.
    ImageLoader(HWND window, UINT message);
    ImageLoader(const ImageLoader&) = delete;
    ImageLoader& operator=(const ImageLoader&) = delete;
    ~ImageLoader();

    // Whether `url` may be requested at all: http or https.
    static bool IsLoadable(std::u16string_view url);

    // Queues a download of `url` for image `id`. False, with nothing queued
    // and nothing sent, when the URL is refused or no worker can be started;
    // the caller then treats the image as failed.
    bool Request(int id, std::u16string_view url);

    std::vector<ImageLoadResult> TakeResults();

private:
    struct Shared;
    static DWORD WINAPI WorkerMain(void* shared);
    static void Work(Shared& shared);
    void ForgetFinishedWorkers();

    std::shared_ptr<Shared> m_shared;
    std::vector<HANDLE> m_workers;  // joined (waited for) by the destructor
};

}  // namespace html
