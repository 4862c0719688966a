#pragma once

#include <functional>
#include <utility>

namespace runby {

// The focus that an event's handlers give, given once they are done: a handler that moves it
// twice, as a change of units does (to the speed field it leaves, then to the one it enables),
// moves it once for the user and for screen readers, which would name the field left.
class DeferredFocus
{
public:
    void request(std::function<void()> give) { m_give = std::move(give); }
    void give()
    {
        if (m_give)
            std::exchange(m_give, nullptr)();
    }

private:
    std::function<void()> m_give;
};

} // namespace runby
