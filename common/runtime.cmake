# The language's runtime helpers: Like, conversions of text, InStr. Text
# compare folds case with ICU, behind headers of the standard library only.
pkg_check_modules(ICU_UC REQUIRED IMPORTED_TARGET icu-uc)
plovanex_library(common_runtime STATIC
    ${CMAKE_CURRENT_LIST_DIR}/vb_like.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vb_convert.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vb_strings.cpp)
target_link_libraries(common_runtime PRIVATE PkgConfig::ICU_UC)

plovanex_test(common_runtime_tests
    ${CMAKE_CURRENT_LIST_DIR}/tests/vb_like_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/vb_convert_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/vb_strings_test.cpp)
target_link_libraries(common_runtime_tests PRIVATE common_runtime)
