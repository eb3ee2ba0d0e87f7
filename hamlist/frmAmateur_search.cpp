// The search of the ham list window.

#include "hamlist/HamRules.h"
#include "hamlist/frmAmateur.h"
#include "hamlist/frmMultiFound.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace hamlist {

namespace {

constexpr int kNameEntry = 1;

}  // namespace

frmMultiFound *frmAmateur::multiFound() const {
    return multiFound_;
}

void frmAmateur::Command1_Click() {
    if (!multiFound_) {
        multiFound_ = new frmMultiFound(this);
    }
    multiFound_->List1->clear();
    if (txtZoek->text().isEmpty()) {
        return;
    }
    const QString text = txtZoek->text().trimmed();
    txtZoek->setText(text);
    if (text.isEmpty()) {
        return;  // blanks alone are nothing to search for
    }
    const int fieldIndex = Combo1->currentIndex();
    const QString criterion = searchCriterion(fieldIndex, Check1->isChecked(), text);
    if (criterion.isEmpty()) {
        return;
    }

    storage::Recordset &rs = Data1->Recordset();
    const int remembered = rs.AbsolutePosition();
    rs.MoveFirst();

    // A criterion that cannot be formed (a quote in the text, an open bracket) finds nothing.
    const bool searched = rs.FindFirst(criterion);
    if (!searched || rs.NoMatch()) {
        if (remembered >= 0) {
            rs.setAbsolutePosition(remembered);
        }
        notFound();
        return;
    }
    if (isExactMode(fieldIndex, Check1->isChecked())) {
        return;
    }
    // The hits are listed from the table; only the last one is shown, where a walk with
    // FindNext would have left the cursor.
    std::vector<int> hits;
    std::vector<storage::RecordValues> values;
    if (!rs.FindAll(criterion, rs.AbsolutePosition(), &hits, &values) || hits.empty()) {
        hits = {rs.AbsolutePosition()};
        values = {{fieldText(0), fieldText(1), {}, {}, fieldText(4)}};
    }
    for (size_t i = 0; i < hits.size(); ++i) {
        const storage::RecordValues &ham = values[i];
        multiFound_->List1->addItem(
            hitLine(hits[i], ham[0].toString(), ham[1].toString(), ham[4].toString()));
    }
    if (hits.back() != rs.AbsolutePosition()) {
        rs.setAbsolutePosition(hits.back());
    }
    if (multiFound_->List1->count() > 1) {
        multiFound_->exec();
    }
}

// No hit: say so, or offer to add the participant the list was opened for.
void frmAmateur::notFound() {
    const bool exact = isExactMode(Combo1->currentIndex(), Check1->isChecked());
    if (!exact && Check2->isChecked()) {
        const platform::MessageAnswer answer =
            messages_.show(this, QStringLiteral("Niets gevonden\nWil je deze amateur toevoegen?"),
                           platform::MessageStyle::YesNoInformation, txtZnaam->text());
        if (answer == platform::MessageAnswer::Yes) {
            Data1->Recordset().AddNew();
            putWhole(txtFields[1], txtZnaam->text().toUpper());
            putWhole(txtFields[0], txtZcall->text().toUpper());
            txtFields[2]->setFocus();
            return;
        }
    } else {
        messages_.show(this, QStringLiteral("Niets gevonden"),
                       platform::MessageStyle::OkInformation, QStringLiteral("Zoekresultaat"));
    }
    txtZoek->setFocus();
}

void frmAmateur::Command4_Click() {
    txtZoek->clear();
    txtZoek->setFocus();
}

void frmAmateur::txtZoek_Change() {
    const bool searching = !txtZoek->text().isEmpty();
    Command1->setEnabled(searching);
    cmdAdd->setEnabled(!searching);
    cmdUpdate->setEnabled(!searching);
}

void frmAmateur::Combo1_LostFocus() {
    Check1->setEnabled(Combo1->currentIndex() == 0);
}

void frmAmateur::tmrKlik_Timer() {
    tmrKlik->stop();
    Combo1->setCurrentIndex(kNameEntry);
    bool ok = false;
    const double row = txtX->text().toDouble(&ok);
    const QString name =
        ok && participantName ? participantName(int(std::nearbyint(row))) : QString();
    txtZoek->setText(name);
    Command1_Click();
    txtZoek->clear();
}

}  // namespace hamlist
