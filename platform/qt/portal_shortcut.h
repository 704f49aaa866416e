// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// One shortcut as the desktop portal's GlobalShortcuts interface passes it:
// its id and its properties (description, preferred_trigger,
// trigger_description), the D-Bus type (sa{sv}).
namespace zaptrove::platform {

struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcuts = QList<PortalShortcut>;

inline QDBusArgument& operator<<(QDBusArgument& pArgument, const PortalShortcut& pShortcut) {
    pArgument.beginStructure();
    pArgument << pShortcut.id << pShortcut.properties;
    pArgument.endStructure();
    return pArgument;
}

inline const QDBusArgument& operator>>(const QDBusArgument& pArgument, PortalShortcut& pShortcut) {
    pArgument.beginStructure();
    pArgument >> pShortcut.id >> pShortcut.properties;
    pArgument.endStructure();
    return pArgument;
}

// Lets QtDBus send and receive lists of shortcuts; call before either.
inline void registerPortalShortcutTypes() {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcuts>();
}

} // namespace zaptrove::platform

Q_DECLARE_METATYPE(zaptrove::platform::PortalShortcut)
