#pragma once
// Everything a host program needs to run an analysis: settings, the component, the result
// records, and the common library's statuses, records and variable dictionary.

#include "companion/KQCancel.h"
#include "companion/KQMV.h"
#include "companion/KQMemoryDataSet.h"
#include "companion/KQStatus.h"
#include "companion/KQThread.h"
#include "companion/KQVarList.h"
#include "companion/KQWarnings.h"
#include "companion/Progress.h"
#include "companion/Record.h"
#include "frame/BSNComponent.h"
#include "frame/BSNComponentDisplay.h"
#include "frame/BSNSettings.h"
#include "frame/BSNStatusCodes.h"
#include "frame/BayesEstimation.h"
#include "onesample/BSN1SampleBinoOutputStats.h"
#include "onesample/BSN1SampleNormOutputStats.h"
#include "onesample/BSN1SamplePoisnOutputStats.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "twosample/BSN2SampleIndOutputStats.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"
