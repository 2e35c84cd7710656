// SPDX-License-Identifier: GPL-3.0-or-later
#include "keypressfilter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

#include <utility>

namespace {

constexpr std::int16_t NonAsciiCode = -1;

// Some keys that type no character still carry one in their text (Delete
// gives DEL on X11); Tab and Shift+Tab belong to the focus chain.
bool TypesCharacter(const QKeyEvent &key)
{
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;
    default:
        return !key.text().isEmpty();
    }
}

class KeyPressFilter : public QObject
{
public:
    KeyPressFilter(QObject *parent, KeyPressHandler handler)
        : QObject(parent), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        return TypesCharacter(*key) && isCancelled(key->text());
    }

private:
    // A keystroke that types several characters is cancelled whole when the
    // handler cancels any one of them.
    bool isCancelled(const QString &typed) const
    {
        for (const QChar character : typed) {
            std::int16_t code = TypedCharacterCode(character);
            m_handler(code);
            if (code == 0)
                return true;
        }
        return false;
    }

    KeyPressHandler m_handler;
};

} // namespace

std::int16_t TypedCharacterCode(QChar character)
{
    return character.unicode() < 128 ? static_cast<std::int16_t>(character.unicode()) : NonAsciiCode;
}

void InstallKeyPressHandler(QWidget *box, KeyPressHandler handler)
{
    box->installEventFilter(new KeyPressFilter(box, std::move(handler)));
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
}
