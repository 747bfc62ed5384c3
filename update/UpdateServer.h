#pragma once

#include <chrono>
#include <string>
#include <string_view>

// Where updates come from and how they are handed over: the product's web server (HTTPS only),
// the certificate authorities its certificate is checked against, the updater program and the
// folder it installs into.
//
// The program uses Current(), which starts from kAddress, the system's certificate store, the
// updater beside the executable and the executable's folder. Tests replace it (Replace) with a
// server of their own on the loopback address and the CA file that signed its certificate.
// Current and Replace: main thread only; a copy may travel to any thread.
struct UpdateServer
{
    // The product's web server; every published file lies under "downloads/".
    static constexpr std::string_view kAddress = "https://www.quillot.app/";
    // The updater program's file name, beside the main executable.
    static constexpr std::string_view kUpdaterName = "quillot-updater";
    // Published files and the name the verified installer is kept under in the update folder.
    static constexpr std::string_view kVersionFile = "downloads/updateversion.htm";
    static constexpr std::string_view kInstallerFile = "downloads/QuillotInstaller.tar.gz";
    static constexpr std::string_view kChecksumFile = "downloads/QuillotInstaller.tar.gz.sha256";
    static constexpr std::string_view kInstallerName = "QuillotInstaller.tar.gz";

    // Ends with "/".
    std::string address{kAddress};
    // A PEM file of trusted authorities in place of the system's store (tests only); empty uses
    // the system's.
    std::string caFile;
    // The updater program to start once an installer is verified.
    std::string updaterProgram;
    // The folder the updater unpacks the installer over: the program's own.
    std::string installFolder;
    // How long after the main menu is built a published version still offers the update.
    std::chrono::milliseconds answerWindow{5000};

    std::string VersionFileUrl() const { return address + std::string(kVersionFile); }
    std::string InstallerUrl() const { return address + std::string(kInstallerFile); }
    std::string ChecksumUrl() const { return address + std::string(kChecksumFile); }

    // The program's server, or what a test put in its place.
    static const UpdateServer& Current();
    static void Replace(UpdateServer server);
    // The server of a released program: kAddress, the updater beside the running executable.
    static UpdateServer ForThisProgram();
};
