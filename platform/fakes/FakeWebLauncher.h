#pragma once

#include "platform/WebLauncher.h"

#include <QList>

namespace platform::fakes {

// Records the addresses the program asks to open. Like the real launcher it only opens https
// addresses; requested() also keeps the ones it refused.
class FakeWebLauncher : public WebLauncher {
public:
    void open(const QUrl &address) override {
        m_requested.append(address);
        if (isOpenable(address)) {
            m_opened.append(address);
        }
    }

    const QList<QUrl> &opened() const { return m_opened; }
    const QList<QUrl> &requested() const { return m_requested; }

    void clear() {
        m_opened.clear();
        m_requested.clear();
    }

private:
    QList<QUrl> m_opened;
    QList<QUrl> m_requested;
};

}  // namespace platform::fakes
