#pragma once

#include <string>

namespace market {

// The last reply of one kind that a poller handed to its view. A reply is handed on
// when its whole text differs from the last one; an empty reply is a reply like any
// other, so after a failure the view sees one empty reply and no more.
class ReplyCache final
{
public:
    // True when `reply` is to be handed on. A changed reply replaces the cache; a forced
    // hand-over of an unchanged reply leaves it as it is.
    bool offer(const std::string& reply, bool force = false)
    {
        if (reply != m_last) {
            m_last = reply;
            return true;
        }
        return force;
    }
    const std::string& last() const { return m_last; }

private:
    std::string m_last;
};

} // namespace market
