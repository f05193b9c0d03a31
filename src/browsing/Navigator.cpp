#include "browsing/Navigator.h"
