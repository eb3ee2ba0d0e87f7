#pragma once

#include "platform/PrinterSurface.h"

#include <QList>
#include <QQueue>

#include <optional>

namespace platform::fakes {

// A printer surface that draws nothing and records everything. A text advances the current
// point by a line height of 24 twips per point of the font; every character is half a font size
// wide (10 twips per point) plus the letter spacing. Documents end Printed unless the
// test queued another result.
class FakePrinterSurface : public PrinterSurface {
public:
    // One operation as it reached the surface, with the state it was drawn in.
    struct Op {
        enum class Kind { Text, Picture, Line, Portrait } kind;
        QString text;
        QPoint at;   // text: the current point; picture: top-left; line: start
        QPoint to;   // line: end
        QRect rect;  // picture
        QString fontName;
        double fontSize = 0;
        bool bold = false;
        double letterSpacing = 0;
        QColor color;
        QImage image;
    };
    struct Document {
        QString printer;
        QString name;
        QList<Op> ops;
        DocumentResult result;
    };

    static constexpr int kTwipsPerPointLine = 24;

    FakePrinterSurface();

    // The installed printers, in order; the first is current.
    void setPrinters(const QStringList &printers);
    // The next endDocument() gives this result (Failed with the error text).
    void queueResult(DocumentResult result, const QString &error = {});
    // What the next printer dialog picks: a printer, or nothing for Cancel; with kept false the
    // choice is current but cannot be written for later runs, for the reason given.
    void queueDialogChoice(std::optional<QString> printer, bool kept = true,
                           const QString &reason = {}) {
        dialogChoices_.enqueue(DialogChoice{std::move(printer), kept, reason});
    }

    const QList<Document> &documents() const { return documents_; }
    // The operations drawn since the last endDocument().
    const QList<Op> &pendingOps() const { return ops_; }
    // Every printer select() was asked for, in order, also unknown ones.
    const QStringList &selections() const { return selections_; }
    int dialogsShown() const { return dialogsShown_; }
    qsizetype pendingResults() const { return results_.size(); }

    QString deviceName() const override { return current_; }
    QStringList printers() const override { return printers_; }
    bool select(const QString &deviceName) override;
    void setDocumentName(const QString &name) override { documentName_ = name; }
    void setPortrait() override;
    void setFontName(const QString &name) override { fontName_ = name; }
    void setFontSize(double points) override { fontSize_ = points; }
    void setFontBold(bool bold) override { bold_ = bold; }
    void setLetterSpacing(double twips) override { letterSpacing_ = twips; }
    double textWidth(const QString &text) const override;
    void setTextColor(const QColor &color) override { color_ = color; }
    void setCurrentX(int twips) override { x_ = twips; }
    void setCurrentY(int twips) override { y_ = twips; }
    int currentX() const override { return x_; }
    int currentY() const override { return y_; }
    void print(const QString &text) override;
    void drawPicture(const QImage &image, const QRect &twips) override;
    void drawLine(const QPoint &from, const QPoint &to) override;
    DocumentResult endDocument() override;
    QString lastError() const override { return error_; }
    PrinterChoice showPrinterDialog(QWidget *owner) override;

private:
    struct DialogChoice {
        std::optional<QString> printer;
        bool kept = true;
        QString reason;
    };

    Op op(Op::Kind kind) const;
    void resetDocument();

    QStringList printers_;
    QString current_;
    QStringList selections_;
    QString documentName_;
    QString fontName_;
    double fontSize_ = 0;
    bool bold_ = false;
    double letterSpacing_ = 0;
    QColor color_;
    int x_ = 0;
    int y_ = 0;
    QList<Op> ops_;
    QList<Document> documents_;
    QQueue<std::pair<DocumentResult, QString>> results_;
    QQueue<DialogChoice> dialogChoices_;
    QString error_;
    int dialogsShown_ = 0;
};

}  // namespace platform::fakes
