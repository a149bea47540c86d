// The per-user settings store: keys below "Software/Velantis" holding named
// integer and text values. One small interface so that the settings can be
// read from and written to a file, or to memory in tests.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <cstdint>
#include <memory>
#include <variant>

namespace settings {

// The root every key lives below.
inline const QString storeRoot = QStringLiteral("Software/Velantis");

class settingsStore_t {
public:
    virtual ~settingsStore_t() = default;

    // False when the key cannot be opened (or created, for writing); the
    // caller then skips the whole key.
    virtual bool openKey(const QString& key) = 0;
    virtual bool exists(const QString& key, const QString& name) const = 0;
    // False when the value is missing or of the other type.
    virtual bool readInt(const QString& key, const QString& name, int32_t& value) const = 0;
    virtual bool readText(const QString& key, const QString& name, QString& value) const = 0;
    // False when the value could not be written; the caller goes on.
    virtual bool writeInt(const QString& key, const QString& name, int32_t value) = 0;
    virtual bool writeText(const QString& key, const QString& name, const QString& value) = 0;
    virtual bool deleteValue(const QString& key, const QString& name) = 0;
    // Makes the writes so far permanent (the file store replaces its file in
    // one step); false when that failed, and the previous store is then intact.
    virtual bool commit() { return true; }
};

// std::monostate: a value that exists but reads as neither type (damaged).
using storeValue_t = std::variant<int32_t, QString, std::monostate>;

// A store in memory. Tests use it, and can make keys fail.
class memoryStore_t : public settingsStore_t {
public:
    bool openKey(const QString& key) override;
    bool exists(const QString& key, const QString& name) const override;
    bool readInt(const QString& key, const QString& name, int32_t& value) const override;
    bool readText(const QString& key, const QString& name, QString& value) const override;
    bool writeInt(const QString& key, const QString& name, int32_t value) override;
    bool writeText(const QString& key, const QString& name, const QString& value) override;
    bool deleteValue(const QString& key, const QString& name) override;

    // Every value, by key then name.
    QHash<QString, QHash<QString, storeValue_t>> values;
    QSet<QString> brokenKeys;    // cannot be opened: reads and writes fail
    QSet<QString> readOnlyKeys;  // reads work, writes and deletions fail
};

// The store in an INI file (QSettings format): groups "Software/Velantis/<key>".
// Integers are kept as "dword:" and eight hex digits, so that the type of a
// value survives; a text that would look like that gets the prefix "sz:".
// The whole file is read once when the store is made; commit() writes a
// temporary file beside it and renames it over the old one, so a failed or
// interrupted write leaves the previous store readable. A file that cannot
// be read gives an empty store; one that cannot be written is left alone.
class iniStore_t : public memoryStore_t {
public:
    explicit iniStore_t(QString path);
    // An unreadable file is skipped as a whole and never overwritten.
    bool openKey(const QString& key) override { return readable_ && memoryStore_t::openKey(key); }
    bool commit() override;
    const QString& path() const { return path_; }
    bool readable() const { return readable_; }

private:
    QString path_;
    bool readable_ = false;
};

// The per-user store file: $LUMORA_CONFIG_DIR/Velantis.ini when that is set,
// otherwise $XDG_CONFIG_HOME/Velantis/Velantis.ini (~/.config without it).
QString userStorePath();
std::unique_ptr<settingsStore_t> openUserStore();

} // namespace settings
