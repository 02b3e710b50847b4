#pragma once

// Reads on a thread of its own for a window that wants only what its newest request brings: a
// request made while another is read waits for it, replacing any that waited before, and what
// a request overtaken meanwhile sends is dropped. A newer request, or none, also asks the
// reading under way to stop.
#include <QMetaObject>
#include <QObject>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <thread>

namespace salvora {

class NewestRequestWorker final : public QObject {
    Q_OBJECT
  public:
    // What a reading sends to the event thread.
    class Answers {
      public:
        // Runs `deliver` on the event thread, if the request is still the newest by then.
        template <typename Deliver>
        void send(Deliver deliver) const {
            QMetaObject::invokeMethod(
                worker_,
                [worker = worker_, request = request_, deliver = std::move(deliver)] {
                    if (request == worker->newest_) deliver();
                },
                Qt::QueuedConnection);
        }

      private:
        friend class NewestRequestWorker;
        Answers(NewestRequestWorker* worker, std::uint64_t request)
            : worker_(worker), request_(request) {}

        NewestRequestWorker* worker_;
        std::uint64_t request_;
    };
    using Reading = std::function<void(const Answers& answers, std::stop_token stop)>;

    explicit NewestRequestWorker(QObject* parent = nullptr);
    // Stops and waits for the reading under way; what it sends is dropped.
    ~NewestRequestWorker() override;

    void request(Reading reading);
    // Nothing is asked for any more: nothing more is sent until the next request.
    void forget();

  private:
    void start(Reading reading);
    void finished();

    std::uint64_t newest_ = 0;
    bool reading_ = false;
    Reading waiting_;  // empty: none
    std::jthread worker_;
};

}  // namespace salvora
