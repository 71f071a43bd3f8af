#include "engine/WorkerHost.h"

namespace tellvane {

namespace {
IWorkerHost* g_host = nullptr;
}  // namespace

void SetWorkerHost(IWorkerHost* host) { g_host = host; }
IWorkerHost* GetWorkerHost() { return g_host; }

}  // namespace tellvane
