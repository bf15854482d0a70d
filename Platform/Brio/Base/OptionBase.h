#pragma once
#include <Brio/Base/ListenerList.h>
#include <Brio/Base/LocalizedString.h>

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Brio {

class OptionGroup;

/// One user preference of an OptionGroup, seen without its type: its persisted id, its
/// user-facing name and tooltip, flags, its value as persisted text, its choices, and the
/// listeners told when the value changes. Option<T> is the typed preference.
class OptionBase {
public:
    enum EFlags : unsigned {
        eNoFlags = 0,
        eAdvanced = 1,        ///< shown among the advanced preferences
        eDeveloper = 2,       ///< a developer-only preference
        eRequiresRestart = 4, ///< takes effect in the next session
    };
    /// Told after the value changed, on the thread that changed it.
    using Listener = std::function<void(OptionBase&)>;

    virtual ~OptionBase();
    OptionBase(const OptionBase&) = delete;
    OptionBase& operator=(const OptionBase&) = delete;

    /// The persisted key.
    const std::string& id() const { return m_id; }
    /// The group the option belongs to; null once the group is gone.
    OptionGroup* group() const;
    std::wstring userName() const { return m_userName.text(); }
    std::wstring toolTip() const { return m_toolTip.text(); }
    const LocalizedString& userNameString() const { return m_userName; }
    const LocalizedString& toolTipString() const { return m_toolTip; }

    unsigned flags() const { return m_flags; }
    bool advanced() const { return (m_flags & eAdvanced) != 0; }
    bool developer() const { return (m_flags & eDeveloper) != 0; }
    bool requiresRestart() const { return (m_flags & eRequiresRestart) != 0; }

    /// The value as it is persisted.
    virtual std::string valueText() const = 0;
    /// Reads persisted text; false, with the value unchanged, when it does not read as a
    /// value of the option's type.
    virtual bool valueText(std::string_view text) = 0;
    virtual std::string defaultText() const = 0;
    virtual bool isDefault() const = 0;
    /// Back to the default value.
    virtual void reset() = 0;

    /// The values offered to the user, as persisted text, with their labels.
    virtual int choiceCount() const = 0;
    virtual std::string choiceText(int index) const = 0;
    virtual std::wstring choiceLabel(int index) const = 0;

    /// Answers an id for removeListener. A null listener is ignored (answers 0).
    int addListener(Listener listener);
    bool removeListener(int listenerId);

protected:
    OptionBase(std::string id, LocalizedString userName, LocalizedString toolTip, OptionGroup& group, unsigned flags);
    /// Joins the group; called by the typed option once it is fully made, since the group
    /// hands it any value that was read for its id before it existed.
    void join();
    /// Leaves the group, which keeps the last value so that a save still writes it.
    void leave();
    /// Tells the option's listeners, then the group.
    void changed();

private:
    friend class OptionGroup;
    std::string m_id;
    LocalizedString m_userName, m_toolTip;
    unsigned m_flags;
    OptionGroup* m_group; // cleared by the group when it goes first
    bool m_joined = false;
    mutable std::mutex m_mutex;
    ListenerList<void(OptionBase&)> m_listeners;
};

} // namespace Brio
