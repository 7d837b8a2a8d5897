#include "ui/online_request.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace zubeki {

namespace {
QString online(const char* text) {
    return QCoreApplication::translate("Online", text);
}
} // namespace

std::optional<OnlineRequest> askOnlineRequest(QWidget* parent, const OnlineRequest& request) {
    QDialog dialog(parent);
    dialog.setWindowTitle(request.create ? online("通信対局を作成") : online("通信対局に参加"));
    auto* form = new QFormLayout(&dialog);
    auto* name = new QLineEdit(request.name, &dialog);
    name->setMaxLength(32);
    form->addRow(online("名前"), name);
    auto* thisComputer = new QCheckBox(online("このコンピュータがサーバになる"), &dialog);
    thisComputer->setChecked(request.thisComputer);
    thisComputer->setVisible(request.create);
    auto* server = new QLineEdit(request.server, &dialog);
    form->addRow(online("サーバ"), server);
    if (request.create) form->addRow(QString(), thisComputer);
    QObject::connect(thisComputer, &QCheckBox::toggled, server, &QWidget::setDisabled);
    server->setDisabled(request.create && request.thisComputer);

    auto* side = new QComboBox(&dialog);
    auto* minutes = new QSpinBox(&dialog);
    auto* increment = new QSpinBox(&dialog);
    auto* code = new QLineEdit(request.code, &dialog);
    if (request.create) {
        side->addItem(online("おまかせ"), QStringLiteral("random"));
        side->addItem(online("下手（先に指す）"), QStringLiteral("lower"));
        side->addItem(online("上手"), QStringLiteral("upper"));
        side->setCurrentIndex(std::max(0, side->findData(request.side)));
        form->addRow(online("手番"), side);
        minutes->setRange(0, 1440);
        minutes->setValue(request.minutes);
        minutes->setSpecialValueText(online("なし"));
        form->addRow(online("持ち時間（分）"), minutes);
        increment->setRange(0, 3600);
        increment->setValue(request.increment);
        form->addRow(online("一手ごとの加算（秒）"), increment);
    } else {
        form->addRow(online("招待コード"), code);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;

    OnlineRequest out = request;
    out.name = name->text().trimmed();
    out.server = server->text().trimmed();
    out.thisComputer = request.create && thisComputer->isChecked();
    out.side = side->currentData().toString();
    out.minutes = minutes->value();
    out.increment = increment->value();
    out.code = code->text().trimmed();
    return out;
}

} // namespace zubeki
