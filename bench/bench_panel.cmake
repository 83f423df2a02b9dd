# The panel under load: longest main-thread stall while a large folder is published, typed
# into and scrolled, and the memory a shown list costs. Needs an X server: run
# bench_panel_stall.sh, which starts a private Xvfb.
if(TARGET tarnwick_panel)
  find_package(Qt6 REQUIRED COMPONENTS Test Widgets)
  add_executable(bench_panel_stall ${CMAKE_CURRENT_LIST_DIR}/bench_panel_stall.cpp)
  target_link_libraries(bench_panel_stall PRIVATE tarnwick_panel Qt6::Widgets Qt6::Test)
endif()
