// SPDX-License-Identifier: MIT
#include "platform/qt/hotkey_impl.h"
#include "platform/qt/portal_shortcut.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QObject>

namespace zaptrove::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kShortcutId = QStringLiteral("show");
constexpr int kOfferTimeoutMs = 1000;

// The portal's answers to a request: 0 granted, 1 cancelled by the user, 2 refused.
QString refusal(uint pResponse) {
    return pResponse == 1 ? QStringLiteral("the request was cancelled on the desktop")
                          : QStringLiteral("the desktop refused it");
}

// A session with the portal holding one shortcut, "show". Each request's
// answer arrives as a Response signal on a path made from this connection's
// name and a token of ours, listened to before the request goes out.
class PortalHotkey final : public QObject, public Hotkey {
    Q_OBJECT

  public:
    PortalHotkey(const HotkeySequence& sequence, std::function<void()> pressed,
                 HotkeyReported reported)
        : bus_(QDBusConnection::sessionBus()), sequence_(sequence), pressed_(std::move(pressed)),
          reported_(std::move(reported)) {
        registerPortalShortcutTypes();
        ask(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), QStringLiteral("zaptrove")}},
            SLOT(sessionCreated(uint, QVariantMap)));
    }

    ~PortalHotkey() override {
        if (!session_.isEmpty()) {
            bus_.call(QDBusMessage::createMethodCall(
                          kService, session_, QStringLiteral("org.freedesktop.portal.Session"),
                          QStringLiteral("Close")),
                      QDBus::NoBlock);
        }
    }

  private slots:
    void sessionCreated(uint response, const QVariantMap& results) {
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                        : handle.toString();
        if (response != 0 || session_.isEmpty()) {
            report(HotkeyState::Taken, refusal(response));
            return;
        }
        bus_.connect(kService, kPath, kShortcuts, QStringLiteral("Activated"), this,
                     SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        QVariantMap properties{
            {QStringLiteral("description"), QStringLiteral("Show or hide the Zaptrove window")}};
        const std::string trigger = portalTrigger(sequence_);
        if (!trigger.empty()) {
            properties.insert(QStringLiteral("preferred_trigger"), QString::fromStdString(trigger));
        }
        const PortalShortcuts shortcuts{{kShortcutId, properties}};
        ask(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts),
             QString()},
            {}, SLOT(shortcutsBound(uint, QVariantMap)));
    }

    void shortcutsBound(uint response, const QVariantMap& results) {
        if (response != 0) {
            report(HotkeyState::Taken, refusal(response));
            return;
        }
        const auto bound = qdbus_cast<PortalShortcuts>(results.value(QStringLiteral("shortcuts")));
        for (const PortalShortcut& shortcut : bound) {
            if (shortcut.id == kShortcutId) {
                const QString trigger =
                    shortcut.properties.value(QStringLiteral("trigger_description")).toString();
                report(HotkeyState::Registered,
                       trigger.isEmpty() ? QString() : QStringLiteral("bound to ") + trigger);
                return;
            }
        }
        report(HotkeyState::Taken, QStringLiteral("the desktop bound no key to it"));
    }

    void activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                   const QVariantMap&) {
        if (session.path() == session_ && id == kShortcutId) {
            pressed_();
        }
    }

  private:
    // Sends a request to the portal; slot receives its answer.
    void ask(const QString& method, QVariantList arguments, QVariantMap options, const char* slot) {
        const QString token = QStringLiteral("zaptrove%1").arg(++requests_);
        const QString sender =
            bus_.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        bus_.connect(kService,
                     kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token,
                     kRequest, QStringLiteral("Response"), this, slot);
        options.insert(QStringLiteral("handle_token"), token);
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kShortcuts, method);
        call.setArguments(arguments << options);
        auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher* w) {
                    if (w->isError()) {
                        report(HotkeyState::Unavailable, w->error().message());
                    }
                    w->deleteLater();
                });
    }

    void report(HotkeyState state, const QString& detail) const {
        reported_(state, detail.toStdString());
    }

    QDBusConnection bus_;
    HotkeySequence sequence_;
    std::function<void()> pressed_;
    HotkeyReported reported_;
    QString session_;
    int requests_ = 0;
};

} // namespace

bool portalOffersShortcuts() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kShortcuts << QStringLiteral("version");
    return bus.call(get, QDBus::Block, kOfferTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

std::unique_ptr<Hotkey> registerPortalHotkey(const HotkeySequence& pSequence,
                                             std::function<void()> pPressed,
                                             HotkeyReported pReported) {
    if (!QDBusConnection::sessionBus().isConnected()) {
        pReported(HotkeyState::Unavailable, "no session bus");
        return nullptr;
    }
    return std::make_unique<PortalHotkey>(pSequence, std::move(pPressed), std::move(pReported));
}

} // namespace zaptrove::platform

#include "hotkey_portal.moc"
