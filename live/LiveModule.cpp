// The module kringbaas-live: the server of the live page, made for the program when sharing is
// first switched on (see LoadedSharing).

#include "live/LiveServer.h"
#include "live/LoadedSharing.h"

extern "C" Q_DECL_EXPORT live::Sharing *kringbaas_make_live_server() {
    return new live::LiveServer;
}

// The loader checks that it was built with the same interface.
extern "C" Q_DECL_EXPORT int kringbaas_live_interface() {
    return live::LoadedSharing::kInterface;
}
