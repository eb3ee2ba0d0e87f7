#include "print/TipsPage.h"

#include "platform/PrinterSurface.h"

namespace print {

QStringList tipsWindowLines() {
    return {
        QStringLiteral("Bij de start van dit programma kan je 2 dingen doen:"),
        QStringLiteral("  1 - Bekijken van gemaakte rondes (die automatisch bewaard worden)"),
        QStringLiteral(
            "       Bekijken kan met het scrollblok links onderaan de pagina op de pijltjes."),
        QStringLiteral("  2 - Een nieuwe ronde beginnen"),
        QStringLiteral("       Dit start je bij de keuze tijdens opstarten, of je kijkt bij OPTIES "
                       ", NIEUWE RONDE STARTEN (Ctrl S kan ook)"),
        QStringLiteral(""),
        QStringLiteral(
            "Tijdens een nieuwe ronde kan je het CALL-invoerveld weghalen met de ESCAPE toets."),
        QStringLiteral("Dit veld zet je weer aan door op de knop DEELNEMER TOEVOEGEN te klikken."),
        QStringLiteral(""),
        QStringLiteral("Als de amateurs toegevoegd zijn, kan je op BEURT klikken om de amateur de "
                       "mike te geven, de teller laat zien hoe vaak."),
        QStringLiteral(""),
        QStringLiteral("Bij een (deels) ingevulde rondelijst, kan je op de NAAM dubbelklikken en "
                       "de details van deze HAM bekijken/bijwerken."),
        QStringLiteral("Bij het dubbelklikken op de CALL in de rondelijst of in de Hamlijst, kom "
                       "je op QRZ terecht van de betreffende amateur. "),
        QStringLiteral("Druk je op MAP in de HAMlijst dan laat het de locatie van de amateur zien, "
                       "mits ingevuld in de Hamlijst."),
        QStringLiteral("De afstand tussen Clubzender en betreffende amateur wordt door de "
                       "berekening van 2 grid locaties automatisch "),
        QStringLiteral("berekend, mits (juist) ingevuld in de Hamlijst."),
        QStringLiteral(""),
        QStringLiteral("Dus voor optimale werking is het raadzaam zo veel mogelijk gegevens in te "
                       "voeren in de HAMlijst."),
        QStringLiteral(""),
        QStringLiteral("Via PRINTERSETUP eenmalig op de juiste printernaam rechtsklikken en ALS "
                       "STANDAARD RINTER INSTELLEN drukken."),
        QStringLiteral(""),
        QStringLiteral("De rest wijst zich vanzelf, gewoon uitproberen :) "),
        QStringLiteral(""),
        QStringLiteral("Op- of aanmerkingen, bugs, tips, verbeteringen, koninklijke "
                       "onderscheidingen,  huldigingen, donaties etc. :"),
        QStringLiteral("e-mail :  ") + QString::fromLatin1(kMakerAddress),
        QStringLiteral(""),
        QStringLiteral("Veel succes met de ronde(s), "),
        QStringLiteral("Bram, QX9ZZA    73"),
    };
}

QString tipsWindowText() {
    QString text;
    for (const QString &line : tipsWindowLines()) {
        text += line + QStringLiteral("\r\n");
    }
    return text;
}

QStringList tipsPageLines() {
    return {
        QStringLiteral("Korte tips voor de kringbaas:"),
        QStringLiteral(" "),
        QStringLiteral("Bij de start van dit programma kan je 2 dingen doen:"),
        QStringLiteral(" 1 - Bekijken van oude rondes (die automatisch bewaard worden)"),
        QStringLiteral(
            "      Bekijken kan met het scrollblok links onderaan de pagina op de pijltjes."),
        QStringLiteral(" 2 - Een nieuwe ronde beginnen"),
        QStringLiteral("      Dit start je bij de keuze tijdens opstarten, of je kijkt bij OPTIES "
                       ", NIEUWE RONDE STARTEN (Ctrl S kan ook)"),
        QStringLiteral(" "),
        QStringLiteral(
            "Tijdens een nieuwe ronde kan je het CALL-invoerveld uitzetten met de ESCAPE toets."),
        QStringLiteral("Dit veld zet je weer aan door op de knop DEELNEMER TOEVOEGEN te klikken."),
        QStringLiteral(" "),
        QStringLiteral("Als de amateurs toegevoegd zijn, kan je op BEURT klikken om de amateur de "
                       "mike te geven, de teller laat zien hoe vaak."),
        QStringLiteral(" "),
        QStringLiteral("Bij een (deels) ingevulde rondelijst, kan je op de naam dubbelklikken en "
                       "de details van deze HAM bekijken/bijwerken."),
        QStringLiteral("Bij het dubbelklikken op de CALL in de rondelijst of in de Hamlijst, kom "
                       "je op QRZ terecht van de betreffende amateur. "),
        QStringLiteral("Druk je op MAP in de HAMlijst dan laat het de locatie van de amateur zien, "
                       "mits ingevuld in de Hamlijst."),
        QStringLiteral("De afstand tussen Clubzender en betreffende amateur wordt door de "
                       "berekening van 2 grid locaties automatisch berekend,"),
        QStringLiteral("mits (juist) ingevuld in de Hamlijst."),
        QStringLiteral(" "),
        QStringLiteral("Dus voor optimale werking is het raadzaam zo veel mogelijk gegevens in te "
                       "voeren in de HAMlijst."),
        QStringLiteral(" "),
        QStringLiteral("Via PRINTERSETUP eenmalig op jouw juiste printernaam rechtsklikken en ALS "
                       "STANDAARD RINTER INSTELLEN drukken."),
        QStringLiteral(" "),
        QStringLiteral("De rest wijst zich vanzelf, gewoon uitproberen :) "),
        QStringLiteral(" "),
        QStringLiteral("Op- of aanmerkingen, bugs, tips, verbeteringen, koninklijke "
                       "onderscheidingen,  huldigingen, donaties etc. :"),
        QStringLiteral("e-mail :  ") + QString::fromLatin1(kMakerAddress),
        QStringLiteral(" "),
        QStringLiteral("Veel succes met de ronde(s),"),
        QStringLiteral("Bram, QX9ZZA    73"),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral(" "),
    };
}

QString tipsDocumentName() {
    return QStringLiteral("Korte tips voor de kringbaas");
}

void drawTipsPage(platform::PrinterSurface &surface) {
    surface.setFontName(QStringLiteral("verdana"));
    surface.setFontSize(8);
    surface.setCurrentY(1500);
    const QStringList lines = tipsPageLines();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        surface.setCurrentX(500);
        if (i == 0) {
            surface.setFontBold(true);
        }
        surface.print(lines[i]);
        if (i == 0) {
            surface.setFontBold(false);
        }
    }
}

}  // namespace print
