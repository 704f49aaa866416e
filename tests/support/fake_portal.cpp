// SPDX-License-Identifier: MIT
// A stand-in for the desktop portal's global shortcuts, which the test's
// private session bus starts at the first call. It grants the shortcut a
// program asks for and presses it once a moment later, except CTRL+ALT+t,
// which it refuses as another program's. It ends when its first caller leaves
// the bus, so that it does not outlive the test.
#include "platform/qt/portal_shortcut.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QTimer>

using zaptrove::platform::PortalShortcuts;

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRefused = QStringLiteral("CTRL+ALT+t");
constexpr int kPressAfterMs = 200;

class FakePortal final : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (caller_ == nullptr) {
            caller_ = new QDBusServiceWatcher(message.service(), bus,
                                              QDBusServiceWatcher::WatchForUnregistration, this);
            connect(caller_, &QDBusServiceWatcher::serviceUnregistered, &QCoreApplication::quit);
        }
        if (message.member() == QLatin1String("Get")) { // the interface's version
            bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1U))));
            return true;
        }
        const auto options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        const QString request =
            kPath + QStringLiteral("/request/") +
            message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_')) +
            QLatin1Char('/') + options.value(QStringLiteral("handle_token")).toString();
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        if (message.member() == QLatin1String("CreateSession")) {
            respond(bus, request, 0, {{QStringLiteral("session_handle"), kPath + "/session/1"}});
        } else if (message.member() == QLatin1String("BindShortcuts")) {
            bindShortcuts(message, bus, request);
        }
        return true;
    }

  private:
    QDBusServiceWatcher* caller_ = nullptr;

    static void respond(const QDBusConnection& bus, const QString& request, uint code,
                        const QVariantMap& results) {
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << code << results;
        bus.send(response);
    }

    static void bindShortcuts(const QDBusMessage& message, const QDBusConnection& bus,
                              const QString& request) {
        auto shortcuts = qdbus_cast<PortalShortcuts>(message.arguments().at(1));
        const QString trigger =
            shortcuts.value(0).properties.value(QStringLiteral("preferred_trigger")).toString();
        if (shortcuts.isEmpty() || trigger == kRefused) {
            respond(bus, request, 2, {});
            return;
        }
        shortcuts[0].properties.insert(QStringLiteral("trigger_description"), trigger);
        respond(bus, request, 0, {{QStringLiteral("shortcuts"), QVariant::fromValue(shortcuts)}});
        const QString session = qdbus_cast<QDBusObjectPath>(message.arguments().at(0)).path();
        QTimer::singleShot(kPressAfterMs, [bus, session, id = shortcuts[0].id] {
            QDBusMessage activated = QDBusMessage::createSignal(
                kPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                QStringLiteral("Activated"));
            activated << QVariant::fromValue(QDBusObjectPath(session)) << id
                      << QVariant::fromValue(qulonglong{0}) << QVariantMap();
            bus.send(activated);
        });
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    zaptrove::platform::registerPortalShortcutTypes();
    FakePortal portal;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(kPath, &portal) ||
        !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        return 1;
    }
    return QCoreApplication::exec();
}
