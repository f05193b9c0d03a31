#pragma once
namespace kpw { struct NavigationState {}; }
