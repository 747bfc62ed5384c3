#include "update/InstallerDownload.h"

#include <filesystem>
#include <system_error>

#include <unistd.h>

InstallerDownload::InstallerDownload(UpdateServer serverIn, std::string agent, std::string updateFolder)
    : server(std::move(serverIn)), userAgent(std::move(agent)), folder(std::move(updateFolder))
{
    command.SetHttpsOnly(true);
    command.SetCaFile(server.caFile);
}

InstallerDownload::~InstallerDownload()
{
    command.Cancel();
    command.Wait();
    if (file != nullptr)
        std::fclose(file);
    if (stage != Stage::Verified)
    {
        std::error_code ignored;
        std::filesystem::remove(PartialPath(), ignored);
    }
}

std::string InstallerDownload::InstallerPath() const
{
    return (std::filesystem::path(folder) / std::string(UpdateServer::kInstallerName)).string();
}

std::string InstallerDownload::PartialPath() const
{
    return InstallerPath() + ".part";
}

float InstallerDownload::GetProgress() const
{
    if (manifest.size == 0)
        return 0.0f;
    return static_cast<float>(static_cast<double>(written.load()) / static_cast<double>(manifest.size));
}

void InstallerDownload::Start()
{
    if (stage == Stage::FetchingChecksum || stage == Stage::Downloading)
        return;
    failure.clear();
    written = 0;
    manifest = {};
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // Only a download verified in this run may be handed over.
    std::filesystem::remove(InstallerPath(), error);
    std::filesystem::remove(PartialPath(), error);
    {
        std::lock_guard lock(transferMutex);
        checksumText.clear();
        tooLong = false;
        ended.reset();
    }
    stage = Stage::FetchingChecksum;
    const auto write = [this](const char* data, std::size_t size, std::size_t count, void*) -> std::size_t {
        const std::size_t length = size * count;
        std::lock_guard lock(transferMutex);
        if (checksumText.size() + length > InstallerManifest::kMaxManifest)
        {
            tooLong = true;
            return 0;
        }
        checksumText.append(data, length);
        return length;
    };
    const auto done = [this](const Pim::CurlResult& result) {
        std::lock_guard lock(transferMutex);
        ended = result;
    };
    if (!command.GetUrl(server.ChecksumUrl(), userAgent, write, nullptr, done))
        Fail("The download could not be started.");
}

InstallerDownload::Stage InstallerDownload::Poll()
{
    if (stage != Stage::FetchingChecksum && stage != Stage::Downloading)
        return stage;
    std::optional<Pim::CurlResult> result;
    {
        std::lock_guard lock(transferMutex);
        result.swap(ended);
    }
    if (!result)
        return stage;
    // The request thread is finishing; the next request needs it gone.
    command.Wait();
    if (stage == Stage::FetchingChecksum)
        FinishChecksum(*result);
    else
        FinishInstaller(*result);
    return stage;
}

void InstallerDownload::Cancel()
{
    command.Cancel();
}

std::string InstallerDownload::Describe(const Pim::CurlResult& result)
{
    if (result.outcome == Pim::CurlOutcome::TimedOut)
        return "the server stopped answering";
    if (result.httpStatus >= 400)
        return "the server answered with error " + std::to_string(result.httpStatus);
    if (result.httpStatus == 0)
        return "the server could not be reached securely";
    return "the connection was lost";
}

void InstallerDownload::FinishChecksum(const Pim::CurlResult& result)
{
    if (result.outcome == Pim::CurlOutcome::Cancelled)
    {
        stage = Stage::Cancelled;
        return;
    }
    if (result.outcome != Pim::CurlOutcome::Completed)
    {
        Fail("Download failed: " + Describe(result) + ".");
        return;
    }
    std::optional<InstallerManifest> published;
    {
        std::lock_guard lock(transferMutex);
        if (!tooLong)
            published = InstallerManifest::Parse(checksumText);
    }
    if (!published)
    {
        Fail("Download failed: the server's checksum could not be read.");
        return;
    }
    manifest = *published;
    StartInstaller();
}

void InstallerDownload::StartInstaller()
{
    {
        std::lock_guard lock(transferMutex);
        file = std::fopen(PartialPath().c_str(), "wb");
        writeFailed = false;
        tooLong = false;
        ended.reset();
    }
    if (file == nullptr)
    {
        Fail("Download failed: the update folder cannot be written.");
        return;
    }
    stage = Stage::Downloading;
    const auto write = [this](const char* data, std::size_t size, std::size_t count, void*) -> std::size_t {
        const std::size_t length = size * count;
        std::lock_guard lock(transferMutex);
        if (written.load() + length > manifest.size)
        {
            tooLong = true;
            return 0;
        }
        if (std::fwrite(data, 1, length, file) != length)
        {
            writeFailed = true;
            return 0;
        }
        digest.Add(data, length);
        written += length;
        return length;
    };
    const auto done = [this](const Pim::CurlResult& result) {
        std::lock_guard lock(transferMutex);
        ended = result;
    };
    if (!command.GetUrl(server.InstallerUrl(), userAgent, write, nullptr, done))
        Fail("The download could not be started.");
}

void InstallerDownload::FinishInstaller(const Pim::CurlResult& result)
{
    bool closed = false;
    std::string received;
    bool longer = false;
    bool unwritten = false;
    {
        std::lock_guard lock(transferMutex);
        closed = std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
        closed = std::fclose(file) == 0 && closed;
        file = nullptr;
        received = digest.FinishHex();
        longer = tooLong;
        unwritten = writeFailed;
    }
    if (result.outcome == Pim::CurlOutcome::Cancelled)
    {
        std::error_code ignored;
        std::filesystem::remove(PartialPath(), ignored);
        stage = Stage::Cancelled;
        return;
    }
    const std::uint64_t bytes = written.load();
    if (unwritten || !closed)
        Fail("Download failed: the installer could not be written to disk.");
    else if (longer)
        Fail("Download failed: the installer is larger than published.");
    else if (result.outcome != Pim::CurlOutcome::Completed)
        Fail("Download failed: " + Describe(result) + ".");
    else if (bytes != manifest.size)
        Fail("Download failed: " + std::to_string(bytes) + " of " + std::to_string(manifest.size) + " bytes arrived.");
    else if (received != manifest.sha256)
        Fail("Download failed: the installer does not match its published checksum.");
    else
    {
        std::error_code error;
        std::filesystem::rename(PartialPath(), InstallerPath(), error);
        if (error)
            Fail("Download failed: the installer could not be kept.");
        else
            stage = Stage::Verified;
    }
}

void InstallerDownload::Fail(const std::string& why)
{
    if (file != nullptr)
    {
        std::lock_guard lock(transferMutex);
        std::fclose(file);
        file = nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove(PartialPath(), ignored);
    failure = why;
    stage = Stage::Failed;
}
