#pragma once

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the modal windows the code under test opens, one step per window and in order. A
// window beyond the steps, one with another name than its step expects, or one its step leaves
// open is noted as a problem and shut, so a wrong turn in the code fails the test instead of
// hanging it.
class ModalAnswers : public QObject {
public:
    using Action = std::function<void(QWidget *)>;

    ModalAnswers() { QTimer::singleShot(0, this, &ModalAnswers::poll); }

    ModalAnswers &then(const QString &objectName, Action action) {
        steps_.append({objectName, std::move(action)});
        return *this;
    }

    const QStringList &seen() const { return seen_; }
    const QStringList &problems() const { return problems_; }
    qsizetype pending() const { return steps_.size(); }

private:
    struct Step {
        QString objectName;
        Action action;
    };

    // The next look is planned first, so a window that a step's action opens in turn is
    // answered too.
    void poll() {
        QTimer::singleShot(5, this, &ModalAnswers::poll);
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && !handled(modal)) {
            handle(modal);
        }
    }

    bool handled(const QWidget *modal) const {
        for (const QPointer<QWidget> &done : handled_) {
            if (done == modal) {
                return true;
            }
        }
        return false;
    }

    void handle(QWidget *modal) {
        handled_.append(modal);
        const QString name = modal->objectName();
        seen_ << name;
        const QPointer<QWidget> guard(modal);
        if (steps_.isEmpty()) {
            problems_ << QStringLiteral("unexpected window %1").arg(name);
        } else {
            const Step step = steps_.takeFirst();
            if (step.objectName != name) {
                problems_ << QStringLiteral("expected %1, got %2").arg(step.objectName, name);
            } else {
                step.action(modal);
            }
        }
        if (guard && guard->isVisible()) {
            problems_ << QStringLiteral("%1 was left open").arg(name);
            if (auto *dialog = qobject_cast<QDialog *>(guard.data())) {
                dialog->done(QDialog::Rejected);  // also for a dialog that refuses to close
            } else {
                guard->close();
            }
        }
    }

    QList<Step> steps_;
    QList<QPointer<QWidget>> handled_;
    QStringList seen_;
    QStringList problems_;
};
