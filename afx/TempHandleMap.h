// The wrapper objects that FromHandle makes for handles nobody attached, one per handle, each
// stamped with the message loop depth at which it was handed out (the lowest, when it is handed
// out again). When the loop at depth k is idle, every frame that ran inside its dispatches has
// returned, so the objects stamped k or deeper can go; a frame below it may hold the others.
#pragma once

#include <iterator>
#include <memory>
#include <unordered_map>

template <class THandle, class TObject, THandle TObject::*pHandle>
class CTempHandleMap
{
public:
    CTempHandleMap() = default;
    CTempHandleMap(const CTempHandleMap&) = delete;
    CTempHandleMap& operator=(const CTempHandleMap&) = delete;
    ~CTempHandleMap() { DeleteFrom(0); }

    // The object for h, made on first use; nDepth is the caller's loop depth.
    TObject* FromHandle(THandle h, int nDepth)
    {
        auto it = m_map.find(h);
        if (it == m_map.end())
        {
            auto pObject = std::make_unique<TObject>();
            pObject.get()->*pHandle = h;
            it = m_map.emplace(h, Entry{std::move(pObject), nDepth}).first;
        }
        else if (nDepth < it->second.nDepth)
        {
            it->second.nDepth = nDepth;
        }
        return it->second.pObject.get();
    }

    // Drops the objects stamped nDepth or deeper (0: all). They let go of their handles first:
    // the handles belong to others.
    void DeleteFrom(int nDepth)
    {
        // Out of the map before any destructor runs: none sees a half-cleared map.
        Map dropped;
        for (auto it = m_map.begin(); it != m_map.end();)
        {
            auto next = std::next(it);
            if (it->second.nDepth >= nDepth)
                dropped.insert(m_map.extract(it));
            it = next;
        }
        for (auto& entry : dropped)
            entry.second.pObject.get()->*pHandle = nullptr;
    }

private:
    struct Entry
    {
        std::unique_ptr<TObject> pObject;
        int nDepth;
    };
    using Map = std::unordered_map<THandle, Entry>;

    Map m_map;
};
