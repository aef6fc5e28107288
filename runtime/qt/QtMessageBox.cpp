// The modal message box on Qt: the style code decides icon, buttons, default and escape
// button; the prompt is shown as plain text, never as markup, with each CR as a line break.
#include "QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace rt {

namespace {

struct BoxLayout {
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton;
};

BoxLayout layoutFor(int style) {
    switch (style) {
    case kCriticalOkCancel:
        return {QMessageBox::Critical, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case kInfoOk:
        return {QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
    case kInfoOkCancel:
        return {QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case kQuestionYesNoDefaultNo:
        return {QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::No};
    case kCriticalOk:
    default:
        return {QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
    }
}

int resultFor(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Cancel:
        return kResultCancel;
    case QMessageBox::Yes:
        return kResultYes;
    case QMessageBox::No:
        return kResultNo;
    case QMessageBox::Ok:
    default:
        return kResultOk;
    }
}

// Lines of a prompt are joined by a lone CR; Qt breaks lines only at LF.
QString displayText(const std::string& prompt) {
    QString text = QString::fromStdString(prompt);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

int QtMessageBox::show(const std::string& prompt, int style, const std::string& title) {
    const BoxLayout layout = layoutFor(style);
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(title));
    box.setIcon(layout.icon);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(prompt));
    box.setStandardButtons(layout.buttons);
    box.setDefaultButton(layout.defaultButton);
    box.setEscapeButton(layout.escapeButton);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    // Closed without a button (the window's close box): the escape button's answer.
    const QMessageBox::StandardButton answer = clicked != nullptr ? box.standardButton(clicked) : layout.escapeButton;
    return resultFor(answer == QMessageBox::NoButton ? layout.escapeButton : answer);
}

} // namespace rt
