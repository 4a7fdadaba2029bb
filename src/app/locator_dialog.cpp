// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/locator_dialog.h"

#include "app/message_presenter.h"
#include "app/settings_store.h"
#include "geo/locator.h"
#include "language/map_texts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QValidator>

namespace kelmora {
namespace {

constexpr qsizetype kLongestNamed = 24;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Shows what is typed in upper case, as locators are written. It refuses
// nothing: a wrong text is explained when the user presses OK.
class UpperCaseInput final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

LocatorDialog::LocatorDialog(QWidget* parent, MessagePresenter& presenter, Language language,
                             const QString& current)
    : QDialog(parent), presenter_(presenter), language_(language) {
    setObjectName(QStringLiteral("dlgLocator"));
    setWindowTitle(fromUtf8(map_texts::locatorDialogTitle(language)));

    auto* prompt = new QLabel(fromUtf8(map_texts::locatorPrompt(language)), this);
    prompt->setObjectName(QStringLiteral("lblLocator"));
    txtLocator = new QLineEdit(current, this);
    txtLocator->setObjectName(QStringLiteral("txtLocator"));
    txtLocator->setValidator(new UpperCaseInput(txtLocator));
    txtLocator->selectAll();
    prompt->setBuddy(txtLocator);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("cmdLocator"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LocatorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LocatorDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(txtLocator);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void LocatorDialog::accept() {
    const QString trimmed = txtLocator->text().trimmed();
    const QByteArray typed = trimmed.toUtf8();
    const std::string_view text(typed.constData(), static_cast<std::size_t>(typed.size()));
    if (const auto shown = geo::shownLocator(text)) {
        accepted_ = QString::fromStdString(*shown);
        QDialog::accept();
        return;
    }
    // A long text is named by its start only.
    const QString named = trimmed.size() > kLongestNamed
                              ? trimmed.left(kLongestNamed - 1) + QStringLiteral("…")
                              : trimmed;
    const MessageText message = map_texts::notALocator(language_, named.toStdString());
    presenter_.present(this, {QMessageBox::Critical, fromUtf8(message.title),
                              fromUtf8(message.text), QMessageBox::Ok, QMessageBox::Ok});
    txtLocator->setFocus();
    txtLocator->selectAll();
}

bool askOwnLocator(QWidget* parent, MessagePresenter& presenter, Language language) {
    LocatorDialog dialog(parent, presenter, language,
                         settings_store::read(settings_store::kOwnLocator));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    if (!settings_store::write(settings_store::kOwnLocator, dialog.locator())) {
        qWarning("The settings could not be stored.");
        return false;
    }
    return true;
}

} // namespace kelmora
