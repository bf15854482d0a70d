#pragma once
#include <Lumo/Devices/AFragment.h>
#include <Lumo/Objects/AutoPtr.h>

#include <vector>

namespace Lumo::Devices {

/// Fragments wired output to input. The graph is itself a fragment: inputs of its members can
/// be exposed as the graph's arguments, and one member output as the graph's result.
class FragmentGraph : public AFragment {
    LUMO_DECLARE_CLASS()
public:
    struct Connection {
        int from; ///< member index
        int output;
        int to; ///< member index
        int input;
    };
    struct Argument {
        int member;
        int input;
    };

    static FragmentGraph* Make(Lumo::Objects::UString* name);
    ~FragmentGraph() override;

    /// Adds a member (held by reference); answers its index, or -1 for null.
    int AddFragment(AFragment* fragment);
    int FragmentCount() const { return static_cast<int>(m_members.size()); }
    AFragment* Fragment(int index) const;
    int IndexOf(const AFragment* fragment) const;

    /// Wires from's output to to's input. False when either is not a member, a parameter is
    /// missing, the input is already fed, the value types differ, or the wire makes a loop.
    bool Connect(AFragment* from, Lumo::Objects::UString* output, AFragment* to, Lumo::Objects::UString* input);
    const std::vector<Connection>& Connections() const { return m_connections; }
    /// The member output feeding that member input, or a connection with from = -1.
    Connection Feeding(int member, int input) const;

    /// Makes a member's input an argument of the graph under argName.
    bool ExposeInput(AFragment* member, Lumo::Objects::UString* input, Lumo::Objects::UString* argName);
    /// Makes a member's output the graph's output under outName.
    bool ExposeOutput(AFragment* member, Lumo::Objects::UString* output, Lumo::Objects::UString* outName);
    /// The member output behind the graph's output index (input holds the member's output
    /// index); member -1 when the output is not a member's.
    Argument ResultSource(int outputIndex) const {
        return outputIndex >= 0 && outputIndex < int(m_results.size()) ? m_results[std::size_t(outputIndex)]
                                                                       : Argument{-1, -1};
    }
    /// Where an argument of the graph goes; member -1 when there is no such argument.
    Argument ArgumentTarget(const Lumo::Objects::UString* argName) const;

    /// A deep copy: members cloned, wiring kept.
    AFragment* Clone() const override;

protected:
    explicit FragmentGraph(Lumo::Objects::UString* name);

private:
    bool Reaches(int from, int to) const;

    std::vector<Lumo::Objects::AutoPtr<AFragment>> m_members;
    std::vector<Connection> m_connections;
    std::vector<Argument> m_arguments; // by the graph's own input index
    std::vector<Argument> m_results;   // by the graph's own output index (input = member output)
};

} // namespace Lumo::Devices
