#pragma once

#include <algorithm>

// The median of a series of measurements (the upper one of the two middle
// values for an even count); a default value for an empty series.
template<typename Container>
typename Container::value_type median(Container values)
{
    if (values.empty())
        return typename Container::value_type();
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}
