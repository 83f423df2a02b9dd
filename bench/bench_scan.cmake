# Benchmarks of the embedded scanner and of content snippets; include()d from bench/CMakeLists.txt.
#   bench_scan.sh ROOT [QUERY]      first and following content queries against rg -j1
#   bench_snippet.sh [FILE]         peak memory of a snippet from a 1 GB text file
add_executable(bench_scan_query ${CMAKE_CURRENT_LIST_DIR}/bench_scan_query.cpp)
target_link_libraries(bench_scan_query PRIVATE tarnwick_index_scan)

if(TARGET tarnwick_spotlight)
  add_executable(bench_snippet_memory ${CMAKE_CURRENT_LIST_DIR}/bench_snippet_memory.cpp)
  target_link_libraries(bench_snippet_memory PRIVATE tarnwick_spotlight)
endif()
