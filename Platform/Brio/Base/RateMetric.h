#pragma once
#include <Brio/Base/RefCounted.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace Brio::Metrics {

class IMetricObserver;

/// A rate measured by timing a piece of work: start and stop around each repetition. It keeps
/// the rate of the last repetition and the rate over a recent window, each passed through
/// fit (kinds cap or round them), and tells its observers after each measurement. Metrics
/// register under their id while they live, so hosts and heads-up displays can find them.
class RateMetric : public Brio::RefCounted {
public:
    RateMetric(std::wstring id, std::wstring displayName, bool showInHUD);
    ~RateMetric() override;

    const std::wstring& id() const { return m_id; }
    const std::wstring& displayName() const { return m_displayName; }
    bool showInHUD() const { return m_showInHUD; }
    bool visible() const { return m_visible; }
    void visible(bool on) { m_visible = on; }

    void start();
    /// Ends a repetition started by start; nothing without one.
    void stop();
    bool running() const;
    /// Rates per second: of the last repetition, and over the last window (up to a second of
    /// repetitions). Both 0 before any measurement.
    double rate() const;
    double windowRate() const;
    int measurements() const;
    /// Forgets every measurement and tells the observers.
    void reset();
    /// Whether measuring is off for now (kinds decide); a skipped metric is not started.
    virtual bool skipped() const { return false; }

    void subscribe(IMetricObserver* observer);
    void unsubscribe(IMetricObserver* observer);

    /// The live metric of that id, or null.
    static RateMetric* find(const std::wstring& id);

protected:
    /// The rate as kept (kinds cap it, round it...).
    virtual double fit(double rate) { return rate; }
    virtual void onReset() {}

private:
    void notify();

    std::wstring m_id, m_displayName;
    bool m_showInHUD, m_visible = false;
    mutable std::mutex m_mutex;
    std::chrono::steady_clock::time_point m_started{};
    bool m_running = false;
    double m_rate = 0, m_windowRate = 0;
    int m_count = 0;
    std::vector<double> m_window; // seconds of the recent repetitions
    std::vector<IMetricObserver*> m_observers;
};

} // namespace Brio::Metrics
