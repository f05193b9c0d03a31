#include "app/UnitRunUtils.h"
