// What the user sees: grid titles never cut, date and number edits as wide as their content, and
// message boxes with the icon of their kind and the caption asked for.
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBGrid.h"
#include "VoApplication.h"
#include "VoMessageBoxes.h"
#include "VoWidgetTest.h"

#include <QApplication>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(VoAppearanceTest, GridColumnsAreAtLeastAsWideAsTheirTitles) {
    TVoDBGrid grid;
    grid.AddColumn(QStringLiteral("DINIZIO"), QStringLiteral("Inizio Personalizzato"), 60);
    grid.AddColumn(QStringLiteral("IANNO"), QStringLiteral("Anno Finanziario e Riferimento"));
    grid.AddColumn(QStringLiteral("SDESC"), QStringLiteral("Descrizione"), 300);
    grid.ColsIndex().Add(0, QStringLiteral("DINIZIO"));
    VoShowActive(&grid);
    const QFontMetrics metrics = grid.horizontalHeader()->fontMetrics();
    const auto fits = [&](int column) {
        return grid.columnWidth(column) > metrics.horizontalAdvance(grid.ColumnTitle(column));
    };
    EXPECT_TRUE(fits(0));
    EXPECT_TRUE(fits(1));
    EXPECT_EQ(grid.columnWidth(2), 300);
    grid.SetColumnWidth(0, 40);
    grid.SetColumnTitle(2, QStringLiteral("Descrizione del registro e delle sue regole di carico"));
    EXPECT_TRUE(fits(0));
    EXPECT_TRUE(fits(2));
}

TEST(VoAppearanceTest, DatesAndNumbersAreAsWideAsTheirContent) {
    QWidget window;
    auto *form = new QFormLayout(&window);
    auto *date = new TVoDBDateEdit;
    auto *number = new TVoDBNumericEdit;
    auto *amount = new TVoDBCurrencyEdit;
    auto *text = new TVoDBEdit;
    form->addRow(QStringLiteral("Data"), date);
    form->addRow(QStringLiteral("Numero"), number);
    form->addRow(QStringLiteral("Importo"), amount);
    form->addRow(QStringLiteral("Descrizione"), text);
    window.resize(900, 300);
    VoShowActive(&window);
    const QFontMetrics metrics = date->fontMetrics();
    EXPECT_GT(date->width(), metrics.horizontalAdvance(QStringLiteral("00/00/0000")));
    EXPECT_LT(date->width(), 250);
    EXPECT_GT(number->width(), metrics.horizontalAdvance(QStringLiteral("-999.999.999,99")));
    EXPECT_LT(number->width(), 250);
    EXPECT_EQ(amount->width(), number->width());
    // A description is wide, but not as wide as the window.
    EXPECT_GT(text->width(), metrics.horizontalAdvance(QString(40, QLatin1Char('n'))));
    EXPECT_LT(text->width(), 600);
}

TEST(VoAppearanceTest, MessageBoxesShowTheIconOfTheirKindAndTheirCaption) {
    const auto previous = SetVoMessageResponder(nullptr);
    VoUseMessageBoxes();
    const struct {
        TMsgDlgType type;
        QMessageBox::Icon icon;
    } cases[] = {
        {mtWarning, QMessageBox::Warning},
        {mtError, QMessageBox::Critical},
        {mtInformation, QMessageBox::Information},
        {mtConfirmation, QMessageBox::Question},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type);
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            icon = box->icon();
            title = box->windowTitle();
            box->button(QMessageBox::No)->click();
        });
        EXPECT_EQ(VoMessageDlg(TVoShownMessage{QStringLiteral("Testo"), c.type, mbYesNo, 0, mbYes,
                                               QStringLiteral("Registri")}),
                  mrNo);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(title, QStringLiteral("Registri"));
    }
    // A message without a caption of its own is titled by the program's name.
    TVoApplication::SetProgramTitle(QStringLiteral("Velisto - Beni durevoli"));
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            box->button(QMessageBox::Ok)->click();
        }
    });
    VoMessageDlg(TVoShownMessage{QStringLiteral("Testo"), mtInformation});
    TVoApplication::SetProgramTitle(QString());
    EXPECT_EQ(title, QStringLiteral("Velisto - Beni durevoli"));
    SetVoMessageResponder(previous);
}

// A message written in lines shows each line whole on a line of its own.
TEST(VoAppearanceTest, AMessageWrittenInLinesKeepsItsLines) {
    const auto previous = SetVoMessageResponder(nullptr);
    VoUseMessageBoxes();
    const QString text = QStringLiteral(
        "Prima di procedere con questa funzione assicurarsi di avere le stampe\r\ncon le chiusure relative "
        "alle ultime operazioni eseguite nel Velisto in uso,\r\nuna volta fatta la rinumerazione queste "
        "stampe non saranno più disponibili.\r\nContinuare?");
    int room = 0, widest = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        room = label->contentsRect().width();
        for (const QString &line : text.split(QStringLiteral("\r\n")))
            widest = qMax(widest, label->fontMetrics().horizontalAdvance(line));
        box->button(QMessageBox::No)->click();
    });
    VoMessageDlg(text, mtConfirmation, mbYesNoCancel, 0, mbNo);
    SetVoMessageResponder(previous);
    EXPECT_GE(room, widest);
}

} // namespace
