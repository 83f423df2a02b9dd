# tarnwick_add_xvfb_tests(<exe> CLASSES ... [WM])
# Registers test classes of an existing test executable that need an X server: each runs under
# its own private Xvfb (see run-with-xvfb), labelled "gui". WM also starts a window manager.
set(TARNWICK_RUN_WITH_XVFB ${CMAKE_CURRENT_LIST_DIR}/run-with-xvfb)

function(tarnwick_add_xvfb_tests exe)
  cmake_parse_arguments(X "WM" "" "CLASSES" ${ARGN})
  set(wm "")
  if(X_WM)
    set(wm --wm)
  endif()
  foreach(class IN LISTS X_CLASSES)
    add_test(NAME ${exe}.${class}
      COMMAND ${TARNWICK_RUN_WITH_XVFB} ${wm} $<TARGET_FILE:${exe}> ${class})
    tarnwick_folder_label(folder_label)
    set_tests_properties(${exe}.${class} PROPERTIES LABELS "gui;${folder_label}")
  endforeach()
endfunction()
