#pragma once
// The statistics request that reports a start to the store service.

// One statisticsTap request for the store type with the machine identity and
// channel of localConfig; at most 5 seconds. True when the transfer completed.
// Nothing reads the answer.
bool SendStatisticsTap(int storeType);
