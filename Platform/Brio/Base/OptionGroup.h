#pragma once
#include <Brio/Base/ListenerList.h>
#include <Brio/Base/LocalizedString.h>
#include <Brio/Base/OptionBase.h>
#include <Brio/Base/Status.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Brio {

/// A named group of user preferences (Option<T>), registered by id for the whole process and
/// persisted in an XML options file that may hold several groups:
///
///     <Options>
///       <OptionGroup id="GraphicsOptionGroup">
///         <Option id="minFPSId" value="14"/>
///       </OptionGroup>
///     </Options>
///
/// Values read for ids that no option has (yet) are kept and handed to an option of that id
/// when it joins, and are written back on save, so that nothing saved is lost.
class OptionGroup {
public:
    using Listener = OptionBase::Listener;

    OptionGroup(std::string id, LocalizedString userName, LocalizedString toolTip);
    virtual ~OptionGroup();
    OptionGroup(const OptionGroup&) = delete;
    OptionGroup& operator=(const OptionGroup&) = delete;

    const std::string& id() const { return m_id; }
    std::wstring userName() const { return m_userName.text(); }
    std::wstring toolTip() const { return m_toolTip.text(); }

    /// In the order they joined.
    std::vector<OptionBase*> options() const;
    OptionBase* option(std::string_view optionId) const;

    /// The file the group reads and writes: the one set by persistFile(path), else
    /// onPersistFile().
    std::filesystem::path persistFile() const;
    /// An empty path restores onPersistFile().
    void persistFile(const std::filesystem::path& file);

    /// Reads the group's values from its file, telling listeners of the values that change,
    /// then runs postLoad(). A missing file or a file without this group reads nothing and
    /// succeeds. A malformed file is an error and changes nothing; values that do not read
    /// as their option's type keep their current value and make a warning naming them.
    Status load();
    /// Writes every value of the group into its file, keeping the other groups in it. A file
    /// that cannot be read is kept beside it as "<name>.corrupt" and a warning says so.
    Status save();
    /// Whether a value changed since the last load or save.
    bool modified() const;
    /// Every option back to its default.
    void resetToDefaults();

    /// Told after any option of the group changed, after the option's own listeners.
    int addListener(Listener listener);
    bool removeListener(int listenerId);

    /// The group registered under id, or null.
    static OptionGroup* find(std::string_view groupId);
    static std::vector<OptionGroup*> all();
    /// Saves every modified group; the first failure, else a warning when one had one.
    static Status saveModified();
    /// The base name of the file shared by the server's option groups ("ServerOptions").
    static std::wstring serverOptionFileName();

protected:
    /// Default: PathInfo::optionsDirectory joined with "<id>.xml".
    virtual std::filesystem::path onPersistFile() const;
    /// Runs after every load(), for groups that push values elsewhere.
    virtual void postLoad() {}

private:
    friend class OptionBase;
    void add(OptionBase& option);
    void remove(OptionBase& option);
    void optionChanged(OptionBase& option);

    std::string m_id;
    LocalizedString m_userName, m_toolTip;
    mutable std::recursive_mutex m_mutex;
    std::vector<OptionBase*> m_options;
    std::map<std::string, std::string> m_stored; // values read for ids no option has
    std::filesystem::path m_persistFile;
    ListenerList<void(OptionBase&)> m_listeners;
    bool m_modified = false;
};

} // namespace Brio
