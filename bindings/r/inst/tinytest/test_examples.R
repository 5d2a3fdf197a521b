# The shipped examples, read into tables with read.table, link to the bit as their parameter
# files do: run by torvak_run and by torvak-link --results.
source("helpers.R")

if (!nzchar(source_dir())) exit_file("TORVAK_SOURCE_DIR is not set")

dir <- copy_examples()
cli <- Sys.getenv("TORVAK_LINK")

for (name in example_names) {
  info <- paste("example", name)
  ini <- file.path(dir, paste0(name, ".ini"))
  k <- read_ini(ini)$dimension
  link <- link_example(dir, name)
  expect_inherits(link, "torvak_link", info = info)
  expect_equal(dim(link$M), c(k, k), info = info)

  run <- torvak_run(ini)
  expect_equal(run$exit_status, 0L, info = info)
  pair <- run$runs[[1L]]$pairs[[1L]]
  expect_equal(pair$result, "linked", info = info)
  expect_identical(link$M, json_matrix(pair$M), info = info)
  expect_identical(link$t, json_vector(pair$t), info = info)
  expect_identical(link$A, json_matrix(pair$A), info = info)
  expect_identical(link$b, json_vector(pair$b), info = info)
  expect_identical(link$criterion, as.numeric(pair$criterion_at_end), info = info)
  expect_identical(link$criterion_at_identity, as.numeric(pair$criterion_at_identity),
                   info = info)
  expect_equal(link$n_items, as.integer(pair$items), info = info)
  expect_equal(link$points, as.integer(pair$points), info = info)
  expect_equal(is.null(link$search), is.null(pair$search), info = info)
  if (!is.null(pair$search)) {
    expect_equal(link$search$evaluations, as.numeric(pair$search$evaluations), info = info)
  }

  if (nzchar(cli)) {
    out <- file.path(dir, paste0(name, "-results.json"))
    status <- system2(cli, c("--results", shQuote(out), "--no-progress", shQuote(ini)),
                      stdout = FALSE, stderr = FALSE)
    expect_equal(status, 0L, info = paste(info, "torvak-link exit status"))
    p <- jsonlite::fromJSON(out, simplifyVector = FALSE)$runs[[1L]]$pairs[[1L]]
    expect_identical(link$M, json_matrix(p$M), info = paste(info, "torvak-link"))
    expect_identical(link$t, json_vector(p$t), info = paste(info, "torvak-link"))
    expect_identical(link$criterion, as.numeric(p$criterion_at_end),
                     info = paste(info, "torvak-link"))
  }
}

# The run's document keeps every pair of a file with two entries, and its report file.
run <- torvak_run(file.path(dir, "m1_2d.ini"))
expect_equal(run$format, "torvak-link results")
expect_equal(length(run$runs[[1L]]$pairs), 2L)
expect_equal(run$runs[[1L]]$pairs_linked, 2L)
expect_true(file.exists(file.path(dir, "m1_2d-report.txt")))

# The second pair as tables links to its block of the run too.
ini <- read_ini(file.path(dir, "m1_2d.ini"))
ini$from$file <- "m1_2d_from2.dat"
ini$to$file <- "m1_2d_to2.dat"
second <- torvak_link(read_items(dir, ini$from), read_items(dir, ini$to), method = "ls",
                      grid = ini$grid, range = ini$range)
expect_identical(second$M, json_matrix(run$runs[[1L]]$pairs[[2L]]$M))
expect_identical(second$t, json_vector(run$runs[[1L]]$pairs[[2L]]$t))

# The number of threads changes no number.
ini <- read_ini(file.path(dir, "m4_3d_empirical.ini"))
one <- torvak_link(read_items(dir, ini$from), read_items(dir, ini$to),
                   theta = read_theta(dir, ini$theta), threads = 1)
expect_identical(one$M, link_example(dir, "m4_3d_empirical")$M)
expect_identical(one$criterion, link_example(dir, "m4_3d_empirical")$criterion)

unlink(dir, recursive = TRUE)
