#pragma once
#include <Lumo/Objects/ARefCounted.h>

#include <atomic>

namespace LumoTest {

/// A counted object that reports its destruction, so tests can see exactly when
/// (and how often) the last release deletes it.
class Probe : public Lumo::Objects::ARefCounted {
public:
    explicit Probe(std::atomic<int>* deaths = nullptr) : m_deaths(deaths) {}
    ~Probe() override {
        if (m_deaths)
            m_deaths->fetch_add(1, std::memory_order_relaxed);
    }

private:
    std::atomic<int>* m_deaths;
};

} // namespace LumoTest
