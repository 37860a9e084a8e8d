// ZVPreferences: the Settings bundle's only access to settings files.
//
// The store holds one property-list dictionary in memory, bound to an
// identifier (which names the file "/var/mobile/Library/Preferences/<id>.plist")
// and to a Darwin notification name announced after each successful save.
// Every page of the bundle works on the process-wide instance, so a change
// made on one page is seen by the others without re-reading the file. The
// store knows nothing of the meaning of the keys; the one key it writes
// itself is "lastModified".
//
// States: unloaded (no dictionary, no binding: getters answer null / 0 / NO or
// the default, setObject does nothing, saves answer NO) until the first
// loadFromIdentifier or reLoadFromIdentifier; loaded from then on (the
// dictionary is never absent again, possibly empty).
//
// Identifiers are file names, not paths: one holding "/" (or a NUL byte)
// could name a file outside the preferences folder ("x/../../etc"), so it is
// refused and the load or save fails as an unreadable or unwritable file
// would. Any other text ("..", spaces only, "*") names a file inside it.
//
// Used from the main thread only; only the creation of the shared instance
// is guarded.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSError.h"
#include "foundation/plist/PropertyList.h"

class ZVPreferences {
public:
    using Notification = std::optional<std::string>;  // empty: nothing is posted

    // A page that shows the store's contents and redraws when another writer
    // changed the bound file.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void preferencesFileChanged() = 0;
    };

    // The process-wide store, created empty on first use (once only, even
    // when threads race) and never freed.
    static ZVPreferences& sharedInstance();

    // A separate, unloaded store; the bundle uses sharedInstance only.
    ZVPreferences() = default;
    ZVPreferences(const ZVPreferences&) = delete;
    ZVPreferences& operator=(const ZVPreferences&) = delete;

    // --- Loading --------------------------------------------------------
    // Reads the file of `identifier` and replaces the dictionary with its
    // top-level dictionary. A missing, unreadable or non-dictionary file (or
    // a refused identifier) leaves an empty dictionary and answers false.
    // The binding is not changed. *error (when given) then says why, in the
    // platform's words.
    bool loadOnceFromIdentifier(std::string_view identifier, NSError* error = nullptr);
    // When a dictionary is held: true, nothing changed, nothing read.
    // Otherwise binds identifier and notification, then loadOnceFromIdentifier.
    bool loadFromIdentifier(std::string_view identifier, Notification notification);
    // Always binds, then loadOnceFromIdentifier.
    bool reLoadFromIdentifier(std::string_view identifier, Notification notification);
    // Replaces the dictionary by an empty one; nothing written or posted.
    void resetPreferences();
    // The bound file as it stands, taken in when another writer changed it:
    // when the file reads as a dictionary that differs from what this store
    // last read from or wrote to it, that dictionary replaces the one held
    // and the answer is true. Otherwise (unloaded, unbound, the file as this
    // store left it, or missing or unreadable) nothing changes, so the
    // store's own saves never cause a reload and unsaved changes stay.
    bool reloadIfFileChanged();

    // --- Changes by other writers --------------------------------------------
    // A writer announces a changed file with the bound notification (the
    // store's own saves do too). From the first call on, the store listens
    // for it (the shared instance only, which is never freed): on each
    // arrival, reloadIfFileChanged, and when the file was taken in every
    // observer still alive is told, in the order they were added. Observers
    // are held weakly; adding one twice tells it once.
    void addObserver(const std::shared_ptr<Observer>& observer);
    // What the announcement does; public for tests.
    void fileChangeAnnounced();

    // --- Saving ---------------------------------------------------------
    // Each answers whether the file was written. Identifier and notification
    // arguments are used for this save only; the binding stays. A stamped
    // save first stores the current date text under "lastModified".
    bool save();
    bool saveWithLastModified(bool lastModified);
    bool saveToIdentifier(std::string_view identifier);
    bool saveWithNotification(Notification notification);
    // *error (when given) says why a failed save failed, as below.
    bool saveWithNotification(Notification notification, bool lastModified, NSError* error = nullptr);
    bool saveToIdentifier(std::string_view identifier, Notification notification);
    // The one that does the work: without a dictionary answers false and
    // does nothing; otherwise stamps (when asked), writes the whole
    // dictionary as an XML property list atomically, and after a successful
    // write posts `notification` on the Darwin centre (when given). A failed
    // write posts nothing and keeps every in-memory change, the stamp too;
    // *error (when given) then says why, in the platform's words.
    bool saveToIdentifier(std::string_view identifier, Notification notification, bool lastModified,
                          NSError* error = nullptr);

    // --- Values ---------------------------------------------------------
    // The stored value, or empty when absent or nothing is loaded.
    std::optional<PlistValue> objectForKey(std::string_view key) const;
    // Number conversions; a value that is not a number (the string "1"
    // included) reads as the fallback: 0, 0.0, false, or the given default.
    std::int64_t integerForKey(std::string_view key) const;
    double floatForKey(std::string_view key) const;  // single precision, widened
    bool boolForKey(std::string_view key) const;
    std::int64_t integerForKey(std::string_view key, std::int64_t defaultValue) const;
    double floatForKey(std::string_view key, double defaultValue) const;  // default returned unchanged
    bool boolForKey(std::string_view key, bool defaultValue) const;
    // Stores the value when a dictionary is held; otherwise does nothing.
    void setObject(PlistValue value, std::string_view key);

    // --- Whole contents and binding ---------------------------------------
    // The dictionary held, or empty when unloaded.
    const std::optional<PlistDictionary>& preferences() const { return preferences_; }
    // Puts back a dictionary taken earlier from preferences(); the binding is
    // unchanged. The pages restore the store with it when a change cannot
    // be saved or a profile cannot be read, so a failure loses nothing.
    void restorePreferences(PlistDictionary preferences) { preferences_ = std::move(preferences); }
    const std::optional<std::string>& identifier() const { return identifier_; }
    const Notification& notification() const { return notification_; }

    // The device path of an identifier's file, or empty when the identifier
    // is refused (it holds "/" or a NUL byte).
    static std::optional<std::string> pathForIdentifier(std::string_view identifier);
    // The current date and time as the "lastModified" text: short date
    // style, medium time style, in the process's locale and time zone.
    static std::string lastModifiedText();

private:
    std::optional<PlistDictionary> preferences_;
    std::optional<std::string> identifier_;
    Notification notification_;
    // The bound file's dictionary as this store last read or wrote it; empty
    // when it could not be read.
    std::optional<PlistDictionary> boundFileSeen_;
    std::vector<std::weak_ptr<Observer>> observers_;
    bool listening_ = false;
};
