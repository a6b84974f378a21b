# One warning set for every target of the project.
add_library(vantor_warnings INTERFACE)
if(MSVC)
  target_compile_options(vantor_warnings INTERFACE /W4 /permissive- /utf-8)
  if(VANTOR_WERROR)
    target_compile_options(vantor_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(vantor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wimplicit-fallthrough -Wmissing-declarations -Wundef)
  if(VANTOR_WERROR)
    target_compile_options(vantor_warnings INTERFACE -Werror)
  endif()
endif()
