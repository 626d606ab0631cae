// One thread that does the slow work of the views of a run, one piece at a
// time in the order asked: finding the cache that holds pictures, decoding a
// picture and bringing it to the tile's size. It owns nothing of the windows:
// a client (a view, or the music's choice) asks for one piece at a time, its doorbell rings on the
// thread once the result waits, and it takes the result on its own thread.
// The only shared state is the queue and the results, under one lock. Nobody
// waits for the thread: when a client leaves, or the loader ends, the work to
// come and the results not taken are dropped, and the thread ends by itself
// once the work in its hands returns. A process that ends meanwhile ends it.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace pictures {

template <class Result>
class Loader {
public:
    using Work = std::function<Result()>;
    using Ring = std::function<void()>;
    // Runs the thread's loop, as the thread's first and last deeds need (the
    // apartment of COM there).
    using Around = std::function<void(const std::function<void()>& loop)>;

    // Where no thread can be started, no work is ever done.
    explicit Loader(Around around = nullptr) : m_state(std::make_shared<State>())
    {
        try {
            std::thread(Run, m_state, std::move(around)).detach();
        } catch (const std::system_error&) {
        }
    }
    ~Loader()
    {
        std::map<int, Client> dropped;
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->ended = true;
        m_state->queue.clear();
        dropped.swap(m_state->clients);
        m_state->wake.notify_one();
    }
    Loader(const Loader&) = delete;
    Loader& operator=(const Loader&) = delete;

    // A new client, whose doorbell rings on the thread, under the loader's lock:
    // it may post a message, but must not call the loader.
    int Join(Ring ring)
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->clients[m_state->next] = Client{std::move(ring), false, {}};
        return m_state->next++;
    }
    void Leave(int client)
    {
        std::optional<Result> dropped;
        std::lock_guard<std::mutex> lock(m_state->mutex);
        for (auto it = m_state->queue.begin(); it != m_state->queue.end();)
            it = it->first == client ? m_state->queue.erase(it) : it + 1;
        const auto it = m_state->clients.find(client);
        if (it != m_state->clients.end()) {
            dropped = std::move(it->second.result);
            m_state->clients.erase(it);
        }
    }
    // From the client's asking until it takes the result.
    bool Busy(int client) const
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        const auto it = m_state->clients.find(client);
        return it != m_state->clients.end() && it->second.busy;
    }
    void Ask(int client, Work work)
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        const auto it = m_state->clients.find(client);
        if (it == m_state->clients.end())
            return;
        it->second.busy = true;
        m_state->queue.emplace_back(client, std::move(work));
        m_state->wake.notify_one();
    }
    // The result that waits; nothing while the work is to come or in hand.
    std::optional<Result> Take(int client)
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        const auto it = m_state->clients.find(client);
        if (it == m_state->clients.end() || !it->second.result)
            return std::nullopt;
        it->second.busy = false;
        return std::exchange(it->second.result, std::nullopt);
    }

private:
    struct Client {
        Ring ring;
        bool busy;
        std::optional<Result> result;
    };
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::pair<int, Work>> queue;
        std::map<int, Client> clients;
        int next = 0;
        bool ended = false;
    };

    static void Run(std::shared_ptr<State> state, Around around)
    {
        if (around)
            around([&] { Loop(*state); });
        else
            Loop(*state);
    }

    static void Loop(State& state)
    {
        std::unique_lock<std::mutex> lock(state.mutex);
        for (;;) {
            state.wake.wait(lock, [&] { return state.ended || !state.queue.empty(); });
            if (state.queue.empty())
                break;
            auto [client, work] = std::move(state.queue.front());
            state.queue.pop_front();
            lock.unlock();
            std::optional<Result> result;
            try {
                result = work();
            } catch (...) {
                result = Result();
            }
            work = nullptr;
            lock.lock();
            const auto it = state.clients.find(client);
            if (it != state.clients.end()) {
                it->second.result = std::move(result);
                it->second.ring();
            } else {  // the client left meanwhile: dropped, outside the lock
                lock.unlock();
                result.reset();
                lock.lock();
            }
        }
    }

    std::shared_ptr<State> m_state;
};

}  // namespace pictures
