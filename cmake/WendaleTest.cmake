# Every tests/<folder>/tst_<name>.cpp is one QtTest executable and one CTest test,
# run headless so that ctest needs no display. Window tests (tests/app/) link
# the window; every other test links the logic alone.
function(wendale_add_tests dir)
  file(GLOB test_sources CONFIGURE_DEPENDS "${dir}/*/tst_*.cpp")
  foreach(src IN LISTS test_sources)
    get_filename_component(name "${src}" NAME_WE)
    get_filename_component(folder "${src}" DIRECTORY)
    get_filename_component(folder "${folder}" NAME)
    set(target "${folder}_${name}")
    add_executable(${target} "${src}")
    if(folder STREQUAL "app")
      target_link_libraries(${target} PRIVATE wendale_testwindow)
      # Window tests may start the program itself.
      target_compile_definitions(${target} PRIVATE WENDALE_PROGRAM_PATH="$<TARGET_FILE:wendale>")
      add_dependencies(${target} wendale)
    else()
      target_link_libraries(${target} PRIVATE wendale_testsupport)
    endif()
    # Tests may start the simulator program itself.
    target_compile_definitions(${target} PRIVATE WENDALE_DEVSIM_PATH="$<TARGET_FILE:wendale-devsim>")
    add_dependencies(${target} wendale-devsim)
    add_test(NAME ${folder}.${name} COMMAND ${target})
    set_tests_properties(${folder}.${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;WENDALE_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts")
  endforeach()
endfunction()
