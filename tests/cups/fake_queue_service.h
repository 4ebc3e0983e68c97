// A print service for the spooler tests: queues with their device URIs, the
// jobs written to them, and failures on demand, all in memory.
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cups/queue_service.h"

namespace orlax::testing {

struct FakeJob {
    std::string queue, docName;
    std::vector<std::uint8_t> bytes;
    std::size_t writes = 0;
    bool finished = false;   // queued for the device
    bool withdrawn = false;  // dropped without Finish, or refused by Finish
    bool delivered = false;  // reported completed by AwaitDelivery
    bool cancelled = false;  // not delivered, so cancelled by AwaitDelivery
    std::optional<std::chrono::milliseconds> bound;  // what AwaitDelivery was given
};

class FakeQueueService final : public cups::QueueService {
public:
    // The queues in listing order, each with its device URI.
    std::vector<std::pair<std::string, std::string>> queues;
    std::optional<cups::ServiceError> findFailure, listFailure, startFailure, writeFailure, finishFailure,
        deliveryFailure;
    std::set<std::string> paused, rejecting;
    std::deque<FakeJob> jobs;  // stable addresses for the open streams

    std::optional<cups::QueueInfo> FindQueue(std::string_view name, cups::ServiceError& error) override {
        if (findFailure) {
            error = *findFailure;
            return std::nullopt;
        }
        for (const auto& [queue, uri] : queues)
            if (queue == name) {
                cups::QueueInfo info;
                info.name = queue;
                info.deviceUri = uri;
                info.paused = paused.contains(queue);
                info.acceptingJobs = !rejecting.contains(queue);
                return info;
            }
        error = {1030, "The printer or class does not exist."};
        return std::nullopt;
    }

    bool ListLocalQueues(std::vector<std::string>& names, cups::ServiceError& error) override {
        if (listFailure) {
            error = *listFailure;
            return false;
        }
        names.clear();
        for (const auto& queue : queues) names.push_back(queue.first);
        return true;
    }

    std::unique_ptr<cups::JobStream> StartJob(std::string_view queue, std::string_view docName,
                                                 cups::ServiceError& error) override {
        if (startFailure) {
            error = *startFailure;
            return nullptr;
        }
        jobs.push_back(FakeJob{std::string(queue), std::string(docName), {}, 0, false, false, false, false, {}});
        return std::make_unique<Stream>(*this, jobs.back(), static_cast<std::uint32_t>(jobs.size()));
    }

private:
    class Stream final : public cups::JobStream {
    public:
        Stream(FakeQueueService& service, FakeJob& job, std::uint32_t id) : service_(service), job_(job), id_(id) {}
        ~Stream() override {
            if (!job_.finished) job_.withdrawn = true;
        }
        std::uint32_t Id() const override { return id_; }
        bool Write(std::span<const std::uint8_t> bytes, cups::ServiceError& error) override {
            if (service_.writeFailure) {
                error = *service_.writeFailure;
                return false;
            }
            job_.bytes.insert(job_.bytes.end(), bytes.begin(), bytes.end());
            ++job_.writes;
            return true;
        }
        bool Finish(cups::ServiceError& error) override {
            if (service_.finishFailure) {
                error = *service_.finishFailure;
                return false;
            }
            job_.finished = true;
            return true;
        }
        bool AwaitDelivery(const cups::DeliveryBound& bound, cups::ServiceError& error) override {
            job_.bound = bound.normal;
            if (service_.deliveryFailure) {
                error = *service_.deliveryFailure;
                job_.cancelled = true;
                return false;
            }
            job_.delivered = true;
            return true;
        }

    private:
        FakeQueueService& service_;
        FakeJob& job_;
        std::uint32_t id_;
    };
};

}  // namespace orlax::testing
