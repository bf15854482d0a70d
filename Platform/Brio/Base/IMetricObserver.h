#pragma once

namespace Brio::Metrics {

class RateMetric;

/// Told when a metric it subscribed to took a new measurement or was reset.
class IMetricObserver {
public:
    virtual void onMetricChanged(RateMetric& metric) = 0;

protected:
    ~IMetricObserver() = default;
};

} // namespace Brio::Metrics
