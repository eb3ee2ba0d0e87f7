#include "platform/PrintQueues.h"

#include <QPrinterInfo>

#include <cups/cups.h>

#include <memory>

namespace platform {

namespace {

struct DestFree {
    void operator()(cups_dest_t *dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestFree>;

// Qt names a CUPS instance "queue/instance".
Dest namedDest(const QString &name) {
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    const QByteArray queue = (slash < 0 ? name : name.left(slash)).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : name.mid(slash + 1).toUtf8();
    if (queue.isEmpty()) {
        return Dest();
    }
    return Dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                 instance.isEmpty() ? nullptr : instance.constData()));
}

QString option(const cups_dest_t &dest, const char *name) {
    return QString::fromUtf8(cupsGetOption(name, dest.num_options, dest.options));
}

QString lastCupsError() {
    return QString::fromUtf8(cupsLastErrorString());
}

}  // namespace

QStringList CupsPrintQueues::names() const {
    return QPrinterInfo::availablePrinterNames();
}

QString CupsPrintQueues::defaultName() const {
    return QPrinterInfo::defaultPrinterName();
}

QueueState CupsPrintQueues::state(const QString &name) const {
    const Dest dest = namedDest(name);
    if (!dest) {
        return {QueueState::Kind::Missing, lastCupsError()};
    }
    // IPP's printer-state: 3 idle, 4 processing, 5 stopped.
    const QString message = option(*dest, "printer-state-message");
    if (option(*dest, "printer-is-accepting-jobs")
            .compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        return {QueueState::Kind::NotAccepting, message};
    }
    if (option(*dest, "printer-state") == QLatin1String("5")) {
        return {QueueState::Kind::Stopped, message};
    }
    return {QueueState::Kind::Ready, message};
}

int CupsPrintQueues::submit(const QString &name, const QString &title, const QByteArray &pdf,
                            QString *reason) {
    const Dest dest = namedDest(name);
    if (!dest) {
        *reason = lastCupsError();
        return 0;
    }
    // The queue's and the instance's own options, as lp(1) passes them.
    const QByteArray titleBytes = title.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, dest->name, titleBytes.constData(),
                                  dest->num_options, dest->options);
    if (job <= 0) {
        *reason = lastCupsError();
        return 0;
    }
    bool sent = cupsStartDocument(CUPS_HTTP_DEFAULT, dest->name, job, titleBytes.constData(),
                                  CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    constexpr qsizetype kChunk = 64 * 1024;
    for (qsizetype at = 0; sent && at < pdf.size(); at += kChunk) {
        sent = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData() + at,
                                    size_t(qMin(kChunk, pdf.size() - at))) == HTTP_STATUS_CONTINUE;
    }
    // Finishing reads the scheduler's answer even after a failed write, which names the fault.
    const ipp_status_t status = cupsFinishDocument(CUPS_HTTP_DEFAULT, dest->name);
    if (!sent || status > IPP_STATUS_OK_CONFLICTING) {
        *reason = lastCupsError();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, dest->name, job, 0);
        return 0;
    }
    return job;
}

}  // namespace platform
