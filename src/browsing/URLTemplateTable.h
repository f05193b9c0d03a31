#pragma once
namespace kpw { class URLTemplateTable {}; }
