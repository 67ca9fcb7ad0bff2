// The driver's session class: the framework's session with the QVX load's
// own connection set-up and identity query.
#pragma once

#include "Kiln.h"

class VarnelDriverSession : public kiln::DriverSession {
public:
    using kiln::DriverSession::DriverSession;

    // As the framework's, then line-feed termination for TCPIP SOCKET resources.
    ViStatus OpenIo() override;
    // The load needs no "*CLS" at initialization.
    ViStatus ClearStatus() override;
    // "*IDN?" answered as "QVX <model> <word> <firmware>".
    ViStatus QueryIdentity(std::string& manufacturer, std::string& model, std::string& serialNumber,
                           std::string& firmwareRevision) override;
    // Commands run the instrument status check themselves; nothing here.
    ViStatus CheckStatus() override;
};
