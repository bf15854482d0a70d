#include <Brio/Base/IMetricObserver.h>
#include <Brio/Base/RateMetric.h>

#include <algorithm>
#include <numeric>

namespace Brio::Metrics {

namespace {
struct Registry {
    std::mutex mutex;
    std::vector<RateMetric*> metrics;
};
Registry& TheRegistry() {
    static Registry* r = new Registry; // metrics made by statics may outlive other statics
    return *r;
}
} // namespace

RateMetric::RateMetric(std::wstring id, std::wstring displayName, bool showInHUD)
    : m_id(std::move(id)), m_displayName(std::move(displayName)), m_showInHUD(showInHUD) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.metrics.push_back(this);
}

RateMetric::~RateMetric() {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.metrics.erase(std::remove(r.metrics.begin(), r.metrics.end(), this), r.metrics.end());
}

RateMetric* RateMetric::find(const std::wstring& id) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    for (RateMetric* m : r.metrics)
        if (m->id() == id)
            return m;
    return nullptr;
}

void RateMetric::start() {
    std::lock_guard lock(m_mutex);
    m_started = std::chrono::steady_clock::now();
    m_running = true;
}

void RateMetric::stop() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_running)
            return;
        m_running = false;
        const double seconds =
            std::max(std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count(), 1e-9);
        m_rate = fit(1.0 / seconds);
        m_window.push_back(seconds);
        // The window holds the repetitions of about the last second.
        double total = std::accumulate(m_window.begin(), m_window.end(), 0.0);
        while (m_window.size() > 1 && total - m_window.front() >= 1.0) {
            total -= m_window.front();
            m_window.erase(m_window.begin());
        }
        m_windowRate = fit(double(m_window.size()) / total);
        ++m_count;
    }
    notify();
}

bool RateMetric::running() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

double RateMetric::rate() const {
    std::lock_guard lock(m_mutex);
    return m_rate;
}

double RateMetric::windowRate() const {
    std::lock_guard lock(m_mutex);
    return m_windowRate;
}

int RateMetric::measurements() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

void RateMetric::reset() {
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
        m_rate = m_windowRate = 0;
        m_count = 0;
        m_window.clear();
    }
    onReset();
    notify();
}

void RateMetric::subscribe(IMetricObserver* observer) {
    std::lock_guard lock(m_mutex);
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void RateMetric::unsubscribe(IMetricObserver* observer) {
    std::lock_guard lock(m_mutex);
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void RateMetric::notify() {
    std::vector<IMetricObserver*> observers;
    {
        std::lock_guard lock(m_mutex);
        observers = m_observers; // an observer may unsubscribe while told
    }
    for (IMetricObserver* o : observers)
        o->onMetricChanged(*this);
}

} // namespace Brio::Metrics
