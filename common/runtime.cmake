# The language's runtime helpers: Like, conversions of text, InStr.
plovanex_library(common_runtime STATIC
    ${CMAKE_CURRENT_LIST_DIR}/vb_like.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vb_convert.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vb_strings.cpp)

plovanex_test(common_runtime_tests
    ${CMAKE_CURRENT_LIST_DIR}/tests/vb_like_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/vb_convert_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/vb_strings_test.cpp)
target_link_libraries(common_runtime_tests PRIVATE common_runtime)
