#include "VoMessageBoxes.h"

#include "VoApplication.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

namespace {

class TBoxResponder : public IVoMessageResponder {
public:
    int Answer(const TVoShownMessage &m) override {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return VoFirstAnswer(m.buttons);
        QMessageBox box;
        box.setWindowTitle(m.caption.isEmpty() ? TVoApplication::ProgramTitle() : m.caption);
        box.setText(m.text);
        box.setDetailedText(m.detail);
        switch (m.type) {
        case mtWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case mtError:
            box.setIcon(QMessageBox::Critical);
            break;
        case mtConfirmation:
            box.setIcon(QMessageBox::Question);
            break;
        case mtInformation:
            box.setIcon(QMessageBox::Information);
            break;
        case mtCustom:
            break;
        }
        struct Map {
            TMsgDlgBtn btn;
            QMessageBox::StandardButton std;
            int result;
        };
        static const Map maps[] = {
            {mbYes, QMessageBox::Yes, mrYes},
            {mbNo, QMessageBox::No, mrNo},
            {mbOK, QMessageBox::Ok, mrOk},
            {mbCancel, QMessageBox::Cancel, mrCancel},
            {mbAbort, QMessageBox::Abort, mrAbort},
            {mbRetry, QMessageBox::Retry, mrRetry},
            {mbIgnore, QMessageBox::Ignore, mrIgnore},
            {mbAll, QMessageBox::YesToAll, mrAll},
        };
        QMessageBox::StandardButtons set;
        for (const Map &map : maps)
            if (m.buttons & map.btn)
                set |= map.std;
        if (!set)
            set = QMessageBox::Ok;
        box.setStandardButtons(set);
        for (const Map &map : maps) {
            if (m.defaultButton == map.btn && (set & map.std))
                box.setDefaultButton(map.std);
            if (QAbstractButton *b = box.button(map.std)) {
                // The programs speak Italian whatever the machine's language.
                static const QHash<int, QString> captions = {
                    {mrYes, QStringLiteral("&Sì")},
                    {mrNo, QStringLiteral("&No")},
                    {mrOk, QStringLiteral("OK")},
                    {mrCancel, QStringLiteral("Annulla")},
                    {mrAbort, QStringLiteral("Interrompi")},
                    {mrRetry, QStringLiteral("&Riprova")},
                    {mrIgnore, QStringLiteral("&Ignora")},
                    {mrAll, QStringLiteral("&Tutti")},
                };
                b->setText(captions.value(map.result));
            }
        }
        // A message written in lines keeps its lines: the box would otherwise wrap them at half the
        // screen, breaking a phrase in the middle ("...in" / "uso,").
        if (m.text.contains(QLatin1Char('\n')))
            if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
                int widest = 0;
                for (const QString &line : m.text.split(QLatin1Char('\n')))
                    widest = qMax(widest, label->fontMetrics().horizontalAdvance(line.trimmed()));
                const QScreen *screen = QGuiApplication::primaryScreen();
                const int room = screen ? screen->availableGeometry().width() * 2 / 3 : 800;
                label->setMinimumWidth(qMin(widest + 2 * label->margin() + 2, room));
            }
        // A short message makes a narrow box, whose frame then cuts its title ("Velisto -... durevoli"):
        // the box is kept wide enough for the title beside the frame's own buttons.
        if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
            const int titleWidth = QFontMetrics(box.font()).horizontalAdvance(box.windowTitle()) + 140;
            grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                          grid->rowCount(), 0, 1, grid->columnCount());
        }
        const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
        for (const Map &map : maps)
            if (map.std == pressed)
                return map.result;
        if (m.buttons & mbCancel)
            return mrCancel;
        if (m.buttons & mbNo)
            return mrNo;
        return mrOk;
    }
};

} // namespace

void VoUseMessageBoxes() {
    SetVoMessageResponder(std::make_shared<TBoxResponder>());
}
