#include "Fixture.h"
#include "TestMain.h"

#include "MainControls.h"
#include "notes/frmNotities.h"
#include "roundsheet/frmMain.h"
#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <sqlite3.h>

#include <memory>

using notes::frmNotities;
using platform::MessageAnswer;
using platform::MessageStyle;

Q_DECLARE_METATYPE(platform::MessageAnswer)

namespace {

// The ten notes of one record, n1 first.
using Notes = QStringList;

Notes notesOf(const QString &prefix) {
    Notes notes;
    for (int n = 1; n <= frmNotities::kNotes; ++n) {
        notes << prefix + QString::number(n);
    }
    return notes;
}

QString databasePath(const QString &folder) {
    return QDir(folder).filePath(QString::fromLatin1(storage::Database::kFileName));
}

// Replaces the records of table notes by the given ones.
void seedNotes(const QString &folder, const QList<Notes> &records) {
    storage::StorageError error;
    auto cursor = storage::TableCursor::open(databasePath(folder), QStringLiteral("notes"), &error);
    QVERIFY2(cursor, qPrintable(error.description));
    while (cursor->count() > 0) {
        QVERIFY2(cursor->remove(0, &error), qPrintable(error.description));
    }
    for (const Notes &notes : records) {
        std::vector<int> fields;
        storage::RecordValues values(size_t(frmNotities::kNotes));
        for (int n = 1; n <= frmNotities::kNotes; ++n) {
            const int index = cursor->table().fieldIndex(QStringLiteral("n%1").arg(n));
            QVERIFY(index >= 0);
            fields.push_back(index);
            values.resize(std::max(values.size(), size_t(index) + 1));
            values[size_t(index)] = notes[n - 1];
        }
        QVERIFY2(cursor->append(fields, values, &error), qPrintable(error.description));
    }
}

// From now on every change of a notes record fails, as on a database that can only be read.
void refuseNoteChanges(const QString &folder) {
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(databasePath(folder)).constData(), &db), SQLITE_OK);
    const int result = sqlite3_exec(db,
                                    "CREATE TRIGGER notes_read_only BEFORE UPDATE ON notes "
                                    "BEGIN SELECT RAISE(ABORT, 'alleen lezen'); END;",
                                    nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(result, SQLITE_OK);
}

// The records of table notes as the file holds them.
QList<Notes> storedNotes(const QString &folder) {
    QList<Notes> records;
    storage::StorageError error;
    auto cursor = storage::TableCursor::open(databasePath(folder), QStringLiteral("notes"), &error);
    if (!cursor) {
        qWarning() << error.description;
        return records;
    }
    for (int i = 0; i < cursor->count(); ++i) {
        storage::RecordValues values;
        if (!cursor->read(i, &values, &error)) {
            qWarning() << error.description;
            return records;
        }
        Notes notes;
        for (int n = 1; n <= frmNotities::kNotes; ++n) {
            notes << values[size_t(cursor->table().fieldIndex(QStringLiteral("n%1").arg(n)))]
                         .toString();
        }
        records << notes;
    }
    return records;
}

Notes shownNotes(const frmNotities &window) {
    Notes notes;
    for (int n = 1; n <= frmNotities::kNotes; ++n) {
        notes << window.txtNot[size_t(n)]->toPlainText();
    }
    return notes;
}

}  // namespace

class NotesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fixture::Fakes fakes_;
    std::unique_ptr<ModalAnswers> modals_;

    QString folder() const { return dir_->path(); }

    // The window as it stands once both of its timers have fired: on the last record.
    std::unique_ptr<frmNotities> openedWindow() {
        auto window = std::make_unique<frmNotities>(folder(), fakes_.services());
        window->Timer1->fire();
        window->tmrOpstart->fire();
        return window;
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        fakes_.messages.clear();
        modals_ = std::make_unique<ModalAnswers>();
        seedNotes(folder(),
                  {notesOf(QStringLiteral("eerste ")), notesOf(QStringLiteral("laatste "))});
    }
    void cleanup() {
        const QStringList problems = modals_->problems();
        const qsizetype pending = modals_->pending();
        modals_.reset();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        QCOMPARE(pending, 0);
    }

    // The window opens on the agenda with the first record; the last one follows at 444 ms.
    void openingShowsTheAgendaAndThenTheLastRecord() {
        frmNotities window(folder(), fakes_.services());
        QCOMPARE(window.windowTitle(), QStringLiteral("Notities"));
        QCOMPARE(window.SSTab1->count(), 10);
        QStringList captions;
        for (int i = 0; i < window.SSTab1->count(); ++i) {
            captions << window.SSTab1->tabText(i);
        }
        QCOMPARE(captions,
                 (QStringList{"Notitie 1", "Notitie 2", "Notitie 3", "Notitie 4", "Notitie 5",
                              "Notitie 6", "Notitie 7", "Notitie 8", "Notitie 9", "Agenda"}));
        QCOMPARE(window.SSTab1->currentIndex(), 9);
        QCOMPARE(window.Label1->text(), QStringLiteral("Label1"));
        QCOMPARE(window.Command1->text(), QStringLiteral("OK"));
        QCOMPARE(window.Command2->text(), QStringLiteral("Wis"));
        QVERIFY(!window.Data1->isVisible());
        QCOMPARE(shownNotes(window), notesOf(QStringLiteral("eerste ")));

        QVERIFY(window.Timer1->isActive());
        QCOMPARE(window.Timer1->interval(), 300);
        QVERIFY(window.tmrOpstart->isActive());
        QCOMPARE(window.tmrOpstart->interval(), 444);

        QVERIFY(window.tmrOpstart->fire());
        QCOMPARE(shownNotes(window), notesOf(QStringLiteral("laatste ")));
        QVERIFY(!window.tmrOpstart->isActive());
        QCOMPARE(storedNotes(folder()), (QList<Notes>{notesOf(QStringLiteral("eerste ")),
                                                      notesOf(QStringLiteral("laatste "))}));
        QVERIFY(fakes_.messages.shown().isEmpty());
    }

    // At 300 ms the first note gets the focus, on its own tab; the timer fires once.
    void firstNoteGetsTheFocus() {
        frmNotities window(folder(), fakes_.services());
        window.show();
        QVERIFY(window.Timer1->fire());
        QVERIFY(!window.Timer1->isActive());
        QCOMPARE(window.SSTab1->currentIndex(), 0);
        QCOMPARE(window.focusWidget(), window.txtNot[1]);
        QCOMPARE(window.Label1->text(), QStringLiteral("Je werkt in tabblad 1"));
        window.close();
    }

    // Text typed before the move to the last record belongs to the first record.
    void textTypedBeforeTheMoveGoesIntoTheFirstRecord() {
        frmNotities window(folder(), fakes_.services());
        window.txtNot[1]->setPlainText(QStringLiteral("vroeg getypt"));
        QVERIFY(window.tmrOpstart->fire());
        Notes first = notesOf(QStringLiteral("eerste "));
        first[0] = QStringLiteral("vroeg getypt");
        QCOMPARE(storedNotes(folder()), (QList<Notes>{first, notesOf(QStringLiteral("laatste "))}));
        QCOMPARE(shownNotes(window), notesOf(QStringLiteral("laatste ")));
        window.close();
    }

    void tabChangeNamesTheTab_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("label");
        QTest::newRow("first") << 0 << "Je werkt in tabblad 1";
        QTest::newRow("third") << 2 << "Je werkt in tabblad 3";
        QTest::newRow("ninth") << 8 << "Je werkt in tabblad 9";
    }
    void tabChangeNamesTheTab() {
        QFETCH(int, tab);
        auto window = std::make_unique<frmNotities>(folder(), fakes_.services());
        window->SSTab1->setCurrentIndex(tab);
        QTEST(window->Label1->text(), "label");
        window->SSTab1->setCurrentIndex(9);
        QCOMPARE(window->Label1->text(), QStringLiteral("Je werkt in tabblad 10"));
        window->close();
    }

    // "Wis" asks about the note of the selected tab; OK stores one blank, Cancel nothing.
    void clearOneNote_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<QString>("question");
        QTest::newRow("agenda, OK") << 9 << MessageAnswer::Ok << "Je gaat notitie 10 verwijderen";
        QTest::newRow("agenda, Cancel")
            << 9 << MessageAnswer::Cancel << "Je gaat notitie 10 verwijderen";
        QTest::newRow("third, OK") << 2 << MessageAnswer::Ok << "Je gaat notitie 3 verwijderen";
        QTest::newRow("first, Cancel")
            << 0 << MessageAnswer::Cancel << "Je gaat notitie 1 verwijderen";
    }
    void clearOneNote() {
        QFETCH(int, tab);
        QFETCH(MessageAnswer, answer);
        auto window = openedWindow();
        window->show();
        window->SSTab1->setCurrentIndex(tab);
        // A change typed in another note is stored with it, or stays on screen unstored.
        window->txtNot[5]->setPlainText(QStringLiteral("nieuw"));
        fakes_.messages.queueAnswer(answer);
        window->Command2->click();

        QCOMPARE(fakes_.messages.shown().size(), 1);
        QTEST(fakes_.messages.shown()[0].text, "question");
        QCOMPARE(fakes_.messages.shown()[0].title, QStringLiteral("Verwijder deelnotitie"));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCancelInformation);

        Notes expected = notesOf(QStringLiteral("laatste "));
        if (answer == MessageAnswer::Ok) {
            expected[tab] = QStringLiteral(" ");
            expected[4] = QStringLiteral("nieuw");
            QCOMPARE(window->focusWidget(), window->txtNot[size_t(tab + 1)]);
        }
        QCOMPARE(storedNotes(folder()).last(), expected);
        QCOMPARE(window->txtNot[size_t(tab + 1)]->toPlainText(), expected[tab]);
        QVERIFY(window->isVisible());
        window->close();
    }

    // "OK" stores empty notes as one blank each and closes; opened again they hold one blank.
    void okPadsEmptyNotes() {
        auto window = openedWindow();
        window->show();
        window->txtNot[4]->clear();
        window->txtNot[7]->clear();
        window->txtNot[10]->setPlainText(QStringLiteral("1. opening\n2. rondvraag"));
        window->Command1->click();
        QVERIFY(!window->isVisible());
        QVERIFY(fakes_.messages.shown().isEmpty());

        Notes expected = notesOf(QStringLiteral("laatste "));
        expected[3] = QStringLiteral(" ");
        expected[6] = QStringLiteral(" ");
        expected[9] = QStringLiteral("1. opening\n2. rondvraag");
        QCOMPARE(storedNotes(folder()).last(), expected);
        QCOMPARE(storedNotes(folder()).first(), notesOf(QStringLiteral("eerste ")));

        window = openedWindow();
        QCOMPARE(shownNotes(*window), expected);
        window->close();
    }

    // The close button stores typed changes but leaves emptied notes empty.
    void closeStoresWithoutPadding() {
        auto window = openedWindow();
        window->show();
        window->txtNot[2]->setPlainText(QStringLiteral("gewijzigd"));
        window->txtNot[3]->clear();
        QVERIFY(window->close());
        Notes expected = notesOf(QStringLiteral("laatste "));
        expected[1] = QStringLiteral("gewijzigd");
        expected[2] = QString();
        QCOMPARE(storedNotes(folder()).last(), expected);
    }

    // With a single record the store sequence stays on it; nothing is added.
    void singleRecordStaysTheOnlyOne() {
        seedNotes(folder(), {notesOf(QStringLiteral("enige "))});
        frmNotities window(folder(), fakes_.services());
        window.txtNot[1]->setPlainText(QStringLiteral("vroeg"));
        QVERIFY(window.tmrOpstart->fire());
        window.txtNot[2]->setPlainText(QStringLiteral("later"));
        QVERIFY(window.storeNotes());
        window.Command1->click();
        Notes expected = notesOf(QStringLiteral("enige "));
        expected[0] = QStringLiteral("vroeg");
        expected[1] = QStringLiteral("later");
        QCOMPARE(storedNotes(folder()), QList<Notes>{expected});
    }

    // Escape does not close the window (and so does not skip storing).
    void escapeDoesNotClose() {
        auto window = openedWindow();
        window->show();
        QTest::keyClick(window->txtNot[1], Qt::Key_Escape);
        QVERIFY(window->isVisible());
        window->close();
    }

    // Notes that cannot be stored are not lost unseen: "OK" and "Wis" say so and the window
    // stays; closing asks whether to let the text go.
    void notesThatCannotBeStored() {
        refuseNoteChanges(folder());
        auto window = openedWindow();
        window->show();
        window->txtNot[1]->setPlainText(QStringLiteral("belangrijk"));

        window->Command1->click();
        QVERIFY(window->isVisible());
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QVERIFY(fakes_.messages.shown()[0].text.startsWith(
            QStringLiteral("De notities zijn niet opgeslagen.\n")));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
        QCOMPARE(window->txtNot[1]->toPlainText(), QStringLiteral("belangrijk"));

        fakes_.messages.clear();
        fakes_.messages.queueAnswer(MessageAnswer::Ok);
        window->SSTab1->setCurrentIndex(9);
        window->Command2->click();
        QCOMPARE(fakes_.messages.shown().size(), 2);
        QVERIFY(fakes_.messages.shown()[1].text.startsWith(
            QStringLiteral("De notities zijn niet opgeslagen.\n")));
        QCOMPARE(window->txtNot[10]->toPlainText(), QStringLiteral(" "));

        fakes_.messages.clear();
        fakes_.messages.queueAnswer(MessageAnswer::Cancel);
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QVERIFY(fakes_.messages.shown()[0].text.startsWith(
            QStringLiteral("De notities zijn niet opgeslagen.\n")));
        QVERIFY(fakes_.messages.shown()[0].text.endsWith(
            QStringLiteral("\n\nVenster toch sluiten? De tekst die niet is opgeslagen gaat dan "
                           "verloren.")));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCancelExclamation);
        QCOMPARE(fakes_.messages.shown()[0].title, QStringLiteral("Notities"));
        QCOMPARE(window->txtNot[1]->toPlainText(), QStringLiteral("belangrijk"));

        fakes_.messages.clear();
        fakes_.messages.queueAnswer(MessageAnswer::Ok);
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(storedNotes(folder()).last(), notesOf(QStringLiteral("laatste ")));

        // When the program ends the window goes after saying so, without asking.
        fakes_.messages.clear();
        window = openedWindow();
        window->show();
        window->txtNot[2]->setPlainText(QStringLiteral("ook belangrijk"));
        window->closeWithOwner();
        QVERIFY(!window->isVisible());
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
    }

    // A database the window cannot open shows the store's own message; what is typed then is
    // reported as not stored.
    void notesWindowOnADatabaseItCannotOpen() {
        {
            QFile foreign(databasePath(folder()));
            QVERIFY(foreign.open(QIODevice::WriteOnly | QIODevice::Truncate));
            foreign.write("Dit is een brief, geen database.\r\n");
        }
        auto window = openedWindow();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QVERIFY(fakes_.messages.shown()[0].text.contains(
            QDir::toNativeSeparators(databasePath(folder()))));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);

        window->show();
        window->txtNot[1]->setPlainText(QStringLiteral("belangrijk"));
        window->Command1->click();
        QVERIFY(window->isVisible());
        QCOMPARE(fakes_.messages.shown().size(), 2);
        QVERIFY(fakes_.messages.shown()[1].text.startsWith(
            QStringLiteral("De notities zijn niet opgeslagen.\n")));
        fakes_.messages.queueAnswer(MessageAnswer::Ok);
        QVERIFY(window->close());
    }

    // --- from the main window -----------------------------------------------------------------

    // "Notities" opens the window modally over the main window; "OK" stores and closes it.
    void mainWindowOpensTheNotes() {
        const auto window = fixture::makeMainWindow(folder(), fakes_.services());
        roundsheet::frmMain &main = *window;
        bool checked = false;
        modals_->then(QStringLiteral("frmNotities"), [&](QWidget *modal) {
            auto *window = qobject_cast<frmNotities *>(modal);
            QVERIFY(window);
            QVERIFY(window->isModal());
            QCOMPARE(window->parentWidget(), &main);
            QCOMPARE(main.notesWindow(), window);
            window->tmrOpstart->fire();
            window->txtNot[10]->setPlainText(QStringLiteral("agenda van vanavond"));
            window->Command1->click();
            checked = true;
        });
        fixture::ui(main).Command2->click();
        QVERIFY(checked);
        QVERIFY(!main.notesWindow());
        QCOMPARE(storedNotes(folder()).last()[9], QStringLiteral("agenda van vanavond"));
        main.close();
    }

    // Closing the program closes the notes window, which stores what was typed.
    void shutdownClosesAndStoresTheNotes() {
        const auto window = fixture::makeMainWindow(folder(), fakes_.services());
        roundsheet::frmMain &main = *window;
        modals_->then(QStringLiteral("frmNotities"), [&](QWidget *modal) {
            auto *window = qobject_cast<frmNotities *>(modal);
            QVERIFY(window);
            window->tmrOpstart->fire();
            window->txtNot[3]->setPlainText(QStringLiteral("nog doen"));
            main.close();
        });
        main.Command2_Click();
        QVERIFY(!main.notesWindow());
        QVERIFY(!main.isVisible());
        Notes expected = notesOf(QStringLiteral("laatste "));
        expected[2] = QStringLiteral("nog doen");
        QCOMPARE(storedNotes(folder()).last(), expected);
    }
};

KB_TEST_MAIN(NotesTest)
#include "tst_notes.moc"
