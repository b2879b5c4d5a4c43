#pragma once
// Events of the framework's datasets: plain C++ callbacks, called synchronously in the order they
// were added. Several listeners may hook one event (the window, its frame, a grid model), and a
// handler may throw: the exception reaches whoever caused the event, which is how a "before"
// handler refuses an operation. Qt signals are not used here because an exception must never
// cross a signal emission.
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

template <typename... Args> class TVoEvent {
public:
    using THandler = std::function<void(Args...)>;

    // Adds a handler; the returned handle removes it again.
    int Add(THandler handler) {
        const int handle = ++m_lastHandle;
        m_handlers.emplace_back(handle, std::make_shared<THandler>(std::move(handler)));
        return handle;
    }
    void Remove(int handle) {
        for (auto it = m_handlers.begin(); it != m_handlers.end(); ++it)
            if (it->first == handle) {
                m_handlers.erase(it);
                return;
            }
    }
    void Clear() { m_handlers.clear(); }
    bool Assigned() const { return !m_handlers.empty(); }

    void operator()(Args... args) const {
        if (m_handlers.empty())
            return;
        // A handler may add or remove handlers while the event runs: run the ones present now.
        const auto handlers = m_handlers;
        for (const auto &h : handlers)
            (*h.second)(args...);
    }

private:
    std::vector<std::pair<int, std::shared_ptr<THandler>>> m_handlers;
    int m_lastHandle = 0;
};

// Handlers one listener hooked to the events of objects that may be destroyed before it: removed
// together by Clear (or the destructor), each only while its object still exists.
class TVoHooks {
public:
    TVoHooks() = default;
    ~TVoHooks() { Clear(); }
    TVoHooks(const TVoHooks &) = delete;
    TVoHooks &operator=(const TVoHooks &) = delete;

    // Adds a handler to an event that belongs to the object owner.
    template <typename... Args, typename Handler>
    void Add(QObject *owner, TVoEvent<Args...> &event, Handler handler) {
        const int handle = event.Add(std::move(handler));
        QPointer<QObject> guard(owner);
        m_removers.push_back([guard, &event, handle] {
            if (guard)
                event.Remove(handle);
        });
    }
    // Also a Qt connection, disconnected with the rest.
    void Add(QMetaObject::Connection connection) {
        m_removers.push_back([connection] { QObject::disconnect(connection); });
    }
    void Clear() {
        const auto removers = std::move(m_removers);
        m_removers.clear();
        for (const auto &remove : removers)
            remove();
    }

private:
    std::vector<std::function<void()>> m_removers;
};
