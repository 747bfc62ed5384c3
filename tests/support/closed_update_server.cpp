// Linked into every test program that builds the main menu: its version check asks a closed
// port on the loopback address instead of the product's server, so no test depends on the
// internet or on what the server publishes. Tests of the update replace it with their own server.
#include "update/UpdateServer.h"

namespace
{
const bool replaced = [] {
    UpdateServer server = UpdateServer::ForThisProgram();
    server.address = "https://127.0.0.1:1/";
    UpdateServer::Replace(server);
    return true;
}();
}
