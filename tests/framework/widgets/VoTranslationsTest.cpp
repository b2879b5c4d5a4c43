// Qt's own dialogs speak the programs' language once the application has started.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

bool TranslationsInstalled() {
    return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).exists(QStringLiteral("qtbase_it.qm"));
}

TEST(VoTranslationsTest, TheFileDialogReadsInItalian) {
    if (!TranslationsInstalled())
        GTEST_SKIP() << "Qt's translations are not installed";
    QFileDialog dialog(nullptr, QStringLiteral("Esporta PDF"), QDir::tempPath(),
                       QStringLiteral("PDF (*.pdf)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    ASSERT_NE(buttons, nullptr);
    QStringList texts;
    for (QAbstractButton *button : buttons->buttons())
        texts << button->text().remove(QLatin1Char('&'));
    EXPECT_TRUE(texts.contains(QStringLiteral("Salva"))) << texts.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Annulla"))) << texts.join(QLatin1Char(',')).toStdString();
    QStringList labels;
    for (QLabel *label : dialog.findChildren<QLabel *>())
        labels << label->text().remove(QLatin1Char('&'));
    EXPECT_FALSE(labels.contains(QStringLiteral("File name:")))
        << labels.join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(labels.contains(QStringLiteral("Look in:"))) << labels.join(QLatin1Char(',')).toStdString();
}

} // namespace
