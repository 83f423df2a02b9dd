# The panel under load: longest main-thread stall while a large folder is published, typed
# into and scrolled, and the memory a shown list costs. Needs an X server: run
# bench_panel_stall.sh, which starts a private Xvfb.
if(TARGET tarnwick_panel)
  find_package(Qt6 REQUIRED COMPONENTS Test Widgets)
  add_executable(bench_panel_stall ${CMAKE_CURRENT_LIST_DIR}/bench_panel_stall.cpp)
  target_link_libraries(bench_panel_stall PRIVATE tarnwick_panel Qt6::Widgets Qt6::Test)
endif()

# Key press to mapped panel and to its first rows, as the X server reports them: run
# bench_panel_open.sh, which starts Xvfb, openbox, Nautilus and the tray application.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BENCH_XCB REQUIRED IMPORTED_TARGET xcb)
add_executable(bench_panel_open ${CMAKE_CURRENT_LIST_DIR}/bench_panel_open.cpp)
target_link_libraries(bench_panel_open PRIVATE PkgConfig::BENCH_XCB)
