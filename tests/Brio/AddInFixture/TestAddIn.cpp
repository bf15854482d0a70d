// An add-in library for the add-in manager's tests. Its static command shows when the library
// is mapped; the command its load makes shows that load ran and unload undid it. Built in
// variants (FIXTURE_*) that misbehave in one way each.
#include <Brio/AddInMgr/IServerAddIn.h>
#include <Brio/Base/TextCommand.h>

#include <memory>

namespace {

class ProbeCommand : public Brio::TextCommand {
public:
    explicit ProbeCommand(const wchar_t* name) : TextCommand(L"Fixture", name, L"probe of the test add-in") {}
    bool execute(const Brio::TextCommandParameters&, std::wstring& reply) override {
        reply = name();
        return true;
    }
};

ProbeCommand g_mapped(L"Mapped");

class FixtureAddIn final : public Brio::IServerAddIn {
public:
    bool load() override {
#ifdef FIXTURE_FAIL_LOAD
        return false;
#else
        m_loaded = std::make_unique<ProbeCommand>(L"Loaded");
        return true;
#endif
    }
    bool unload() override {
#ifdef FIXTURE_REFUSE_FIRST_UNLOAD
        if (!m_refused) {
            m_refused = true;
            return false;
        }
#endif
        m_loaded.reset();
        return true;
    }

private:
    std::unique_ptr<ProbeCommand> m_loaded;
    bool m_refused = false;
};

FixtureAddIn g_addIn;

} // namespace

extern "C" __attribute__((visibility("default"))) Brio::IAddIn* GetIAddIn() {
#ifdef FIXTURE_NO_ADDIN
    return nullptr;
#else
    return &g_addIn;
#endif
}
