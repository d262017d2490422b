#pragma once

// The application's preferences: a persistent domain over a registration domain.
//
// A key reads from the persistent domain, else from the registration domain. The
// persistent domain is an XML property list "<applicationName>.plist" in
// QStandardPaths::AppConfigLocation (so data, dates and nested dictionaries keep their
// types); it is read on first use. Changes are written atomically once per event-loop turn,
// and at once by synchronize() and on destruction.
// A damaged file is kept aside as "<file>.damaged" and the domain starts empty; a file that
// cannot be read (a pipe, a device, no permission) is neither read nor written over, and a
// link is never written through. Each such problem is told to the user once (ProblemReporter).
// Values must be property-list values (see PropertyList); others are a programming error.
// Safe to use from any thread; didChange is emitted on the thread that made the change.

#include <QMutex>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

namespace platform {

class UserDefaults : public QObject {
    Q_OBJECT

public:
    // Reads the persistent domain of the application from the storage location.
    explicit UserDefaults(QObject* parent = nullptr);
    ~UserDefaults() override;

    // The shared instance; it belongs to the application object and is written when that goes.
    static UserDefaults* standardUserDefaults();
    // Writes and drops the shared instance: the next one reads the file again.
    static void resetStandardUserDefaults();
    // Points the storage of instances made from now on at `folder` (empty: the standard
    // location) and drops the shared instance.
    static void setStorageLocationForTesting(const QString& folder);

    // The registration domain: merged into what was registered before, never stored.
    void registerDefaults(const QVariantMap& defaults);
    // Registers the dictionary of the bundle resource ":/bundle/<name>.<type>"; a missing or
    // damaged resource is logged and answers false.
    bool registerDefaultsFromBundleResource(const QString& name, const QString& type);

    // Absent keys and values of another kind answer null / empty / NO / 0.
    QVariant objectForKey(const QString& key) const;
    QString stringForKey(const QString& key) const;            // numbers as text
    QVariantList arrayForKey(const QString& key) const;
    QVariantMap dictionaryForKey(const QString& key) const;
    QByteArray dataForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;                  // also "YES", "true", "1"
    qint64 integerForKey(const QString& key) const;             // also numeric text
    float floatForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;
    QUrl urlForKey(const QString& key) const;                   // a path ("/", "~/") or URL text

    // A null value removes the key.
    void setObjectForKey(const QVariant& value, const QString& key);
    void setBoolForKey(bool value, const QString& key);
    void setIntegerForKey(qint64 value, const QString& key);
    void setFloatForKey(float value, const QString& key);
    void setDoubleForKey(double value, const QString& key);
    // File URLs are stored as paths, others as URL text.
    void setURLForKey(const QUrl& url, const QString& key);
    void removeObjectForKey(const QString& key);

    // The application's domain is named after QCoreApplication::applicationName(); removing
    // it forgets every stored value and deletes its file.
    void removePersistentDomainForName(const QString& domainName);

    // Writes pending changes now; answers false when the file could not be written.
    bool synchronize();

Q_SIGNALS:
    // After a value changed; `key` is empty when a whole domain changed.
    void didChange(const QString& key);

private:
    QString domainPath(const QString& domainName) const;
    // The helpers below expect m_mutex to be held.
    void loadIfNeeded() const;
    QVariant lookup(const QString& key) const;
    bool store(const QString& key, const QVariant& value); // answers whether it changed
    bool write();

    mutable QMutex m_mutex;
    const QString m_storageFolder;
    const QString m_domainName;
    mutable QVariantMap m_persistent;
    mutable bool m_loaded = false;
    // The file there could not be read: it is never written over.
    mutable bool m_storageRefused = false;
    bool m_writeProblemTold = false;
    QVariantMap m_registered;
    bool m_dirty = false;
    bool m_writeScheduled = false;
};

} // namespace platform
