#pragma once

#include "update/InstallerManifest.h"
#include "update/Sha256.h"
#include "update/UpdateServer.h"

#include "engine/CurlCommand.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

// Fetches the installer the update page offers, and keeps it only when it is the one the server
// published: first the checksum file (its digest and size, InstallerManifest), then the installer
// itself into "QuillotInstaller.tar.gz.part" in the update folder. When the transfer has
// completed, holds exactly the published size and has the published SHA-256 digest, the file is
// renamed to "QuillotInstaller.tar.gz" (Verified). Anything else - no connection, an HTTP error,
// a cut connection, too many or too few bytes, another digest, a write error, Cancel - deletes
// the partial file and ends as Failed (with a sentence for the user) or Cancelled, so no
// unchecked installer is ever left where the updater would find it. An older installer file is
// deleted when the download starts.
//
// Both requests go over HTTPS only, with the server's certificate verified.
//
// Threads: the owner (main thread) calls Start, Poll, Cancel and destroys it; the requests'
// callbacks run on the request thread and touch only the file, the digest and the counters.
class InstallerDownload
{
public:
    enum class Stage
    {
        Idle,
        FetchingChecksum,
        Downloading,
        Verified,
        Failed,
        Cancelled,
    };

    // updateFolder: native path of the folder the installer is written to (made when missing).
    InstallerDownload(UpdateServer server, std::string userAgent, std::string updateFolder);
    ~InstallerDownload();
    InstallerDownload(const InstallerDownload&) = delete;
    InstallerDownload& operator=(const InstallerDownload&) = delete;

    void Start();
    // Moves on when a request has ended; call once a frame. Returns the stage now.
    Stage Poll();
    // Ends the running request; the next Poll that sees it end reports Cancelled.
    void Cancel();

    Stage GetStage() const { return stage; }
    // The share of the installer received, 0 to 1 (0 until its size is known).
    float GetProgress() const;
    // Why the download failed, in words for the page.
    const std::string& GetFailure() const { return failure; }
    // Where the verified installer lies.
    std::string InstallerPath() const;
    std::string PartialPath() const;
    // The published digest (once the checksum file has been read).
    const std::string& GetDigest() const { return manifest.sha256; }

private:
    void StartInstaller();
    void FinishChecksum(const Pim::CurlResult& result);
    void FinishInstaller(const Pim::CurlResult& result);
    void Fail(const std::string& why);
    static std::string Describe(const Pim::CurlResult& result);

    UpdateServer server;
    std::string userAgent;
    std::string folder;
    Stage stage = Stage::Idle;
    std::string failure;
    InstallerManifest manifest;
    Pim::CurlCommand command;

    // The transfer lock: taken by the request thread while it writes a piece and when a request
    // ends, and by the owner when it looks at a finished request. Guards checksumText, file,
    // digest, writeFailed, tooLong and ended.
    std::mutex transferMutex;
    std::string checksumText;
    std::FILE* file = nullptr;
    Sha256 digest;
    bool writeFailed = false;
    bool tooLong = false;
    std::optional<Pim::CurlResult> ended;
    // Bytes of the installer written so far; read by the owner for the progress without the lock.
    std::atomic<std::uint64_t> written{0};
};
