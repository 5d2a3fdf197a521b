# Item diagnostics, excluded items and standard errors: the examples' item tables and errors are
# torvak-link's, shares add up to the criterion, an excluded item links as if it were not there,
# a seed fixes the bootstrap, and bad values are errors that name them.
source("helpers.R")

# The item table of a pair of a results document, in torvak_link's columns.
json_items <- function(pair) {
  rows <- lapply(pair$item_diagnostics, function(i) {
    row <- list(item = as.integer(i$item),
                model = if (is.null(i$model)) "dichotomous" else i$model,
                categories = if (is.null(i$categories)) 2L else as.integer(i$categories),
                rmsd = i$rmsd, max_difference = i$max_difference,
                share = if (is.null(i$share)) NA_real_ else i$share, flagged = i$flagged,
                intercept_to = i$to$intercept,
                intercept_transformed = i$from_transformed$intercept,
                intercept_difference = i$intercept_difference)
    for (j in seq_along(i$to$slopes)) {
      row[[sprintf("slope_to_%d", j)]] <- i$to$slopes[[j]]
      row[[sprintf("slope_transformed_%d", j)]] <- i$from_transformed$slopes[[j]]
      row[[sprintf("slope_difference_%d", j)]] <- i$slope_differences[[j]]
    }
    row
  })
  lapply(setNames(nm = names(rows[[1L]])), function(column) {
    unlist(lapply(rows, `[[`, column))
  })
}

if (nzchar(source_dir())) {
  dir <- copy_examples()
  cli <- Sys.getenv("TORVAK_LINK")
  for (name in example_names) {
    info <- paste("example", name)
    ini <- file.path(dir, paste0(name, ".ini"))
    link <- link_example(dir, name, se = "jackknife")
    pair <- torvak_run(ini, se = "jackknife")$runs[[1L]]$pairs[[1L]]
    if (nzchar(cli)) {
      out <- file.path(dir, paste0(name, "-se.json"))
      system2(cli, c("--results", shQuote(out), "--se", "jackknife", "--no-progress",
                     shQuote(ini)), stdout = FALSE, stderr = FALSE)
      program <- jsonlite::fromJSON(out, simplifyVector = FALSE)$runs[[1L]]$pairs[[1L]]
      expect_identical(json_items(pair), json_items(program), info = paste(info, "run"))
      pair <- program
    }
    expect_identical(as.list(link$items), json_items(pair), info = info)
    expect_identical(link$se$M, json_matrix(pair$standard_errors$M), info = info)
    expect_identical(link$se$t, json_vector(pair$standard_errors$t), info = info)
    expect_equal(link$se[c("method", "replications", "failed")],
                 pair$standard_errors[c("method", "replications", "failed")], info = info)
    expect_null(link$se$M_lower, info = info)
    # The shares are each item's part of the criterion at the reported M and t; the criterion
    # reported is the search's value a step before, within its tolerance.
    expect_equal(sum(link$items$share), link$criterion, tolerance = 1e-7, info = info)
  }
  unlink(dir, recursive = TRUE)
}

# An excluded item links as if it were not there; the rows keep their numbers and names.
from <- made_items(14, 2, seed = 6)
to <- torvak_transform(made_items(14, 2, seed = 6), list(M = diag(2) * 1.2, t = c(0.3, -0.2)))
to[, "d"] <- to[, "d"] + seq(-0.2, 0.2, length.out = 14)
kept <- setdiff(1:14, c(2, 9, 14))
for (method in c("irs", "tcs", "ls")) {
  with <- torvak_link(from, to, method = method, grid = 9, exclude = c(14, 2, 9, 2))
  without <- torvak_link(from[kept, ], to[kept, ], method = method, grid = 9)
  expect_identical(with$M, without$M, info = method)
  expect_identical(with$t, without$t, info = method)
  expect_identical(with$excluded, c(2L, 9L, 14L), info = method)
  expect_equal(with$n_items, 11L, info = method)
  expect_identical(with$items$item, kept, info = method)
  expect_identical(rownames(with$items), rownames(from)[kept], info = method)
  expect_identical(with$items$rmsd, without$items$rmsd, info = method)
}
expect_true(any(grepl("excluded items 2, 9, 14", capture.output(print(with)), fixed = TRUE)))

# A fixed seed gives the same bootstrap on any number of threads; another seed another one.
boot <- function(seed, threads = 0) {
  torvak_link(from, to, grid = 7, se = "bootstrap", replications = 30, seed = seed,
              threads = threads)
}
first <- boot(17)
again <- boot(17, threads = 1)
expect_identical(first$se, again$se)
expect_false(identical(first$se$M, boot(18)$se$M))
expect_equal(first$se[c("replications", "failed", "seed")],
             list(replications = 30L, failed = 0L, seed = 17))
expect_true(all(first$se$M_lower <= first$M & first$M <= first$se$M_upper))
printed <- capture.output(print(first))
expect_true(any(grepl("Standard errors (bootstrap, 30 replications, seed 17)", printed,
                      fixed = TRUE)))
summarised <- capture.output(print(summary(first)))
expect_true(any(grepl("97.5 % quantile of the replications", summarised, fixed = TRUE)))

# Drift flags follow the cutoff; print names the flagged items; diagnostics can be left off.
flagged <- torvak_link(from, to, grid = 7, drift_cutoff = 0)
expect_true(all(flagged$items$flagged))
expect_true(any(grepl("Items with RMSD above 0: i01, i02", capture.output(print(flagged)),
                      fixed = TRUE)))
quiet <- torvak_link(from, to, grid = 7, diagnostics = FALSE)
expect_equal(nrow(quiet$items), 0L)
expect_null(quiet$se)
expect_false(any(grepl("RMSD", capture.output(print(quiet)))))

# Bad values: the argument and the value are named, by torvak_link and by torvak_run.
bad <- list(
  list(list(exclude = 0), "exclude: 0 is not an item number (1 to 14)", TRUE),
  list(list(exclude = c(3, -2)), "exclude: -2 is not an item number", TRUE),
  list(list(exclude = 15), "exclude: 15 is not an item number (1 to 14)", FALSE),
  list(list(exclude = 2.5), "exclude: 2.5 is not an item number", TRUE),
  list(list(exclude = "i01"), "exclude: \"i01\" is not an item number", TRUE),
  list(list(exclude = 1:12),
       "exclude leaves 2 of the 14 common items: a link in 2 dimensions needs at least 3", FALSE),
  list(list(se = "bootstrop"),
       "se must be \"none\", \"jackknife\" or \"bootstrap\", not \"bootstrop\"", TRUE),
  list(list(se = "bootstrap", replications = 1),
       "replications must be a whole number from 2 to 1000000, not 1", TRUE),
  list(list(seed = -1), "seed must be a whole number from 0 to", TRUE),
  list(list(drift_cutoff = 1.5), "drift_cutoff must be a number from 0 to 1, not 1.5", TRUE),
  list(list(drift_cutoff = -0.01), "drift_cutoff must be a number from 0 to 1, not -0.01",
       TRUE),
  list(list(diagnostics = NA), "diagnostics must be TRUE or FALSE", TRUE)
)
for (case in bad) {
  info <- paste(names(case[[1L]]), collapse = ", ")
  expect_error(do.call(torvak_link, c(list(from, to), case[[1L]])), pattern = case[[2L]],
               fixed = TRUE, info = info)
  if (case[[3L]]) {
    message <- sub(" (1 to 14)", "", case[[2L]], fixed = TRUE)
    expect_error(do.call(torvak_run, c(list("never-read.ini"), case[[1L]])), pattern = message,
                 fixed = TRUE, info = paste("torvak_run", info))
  }
}
